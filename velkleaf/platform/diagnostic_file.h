// The diagnostic image that every leaf extraction leaves behind: where it goes and how
// it is written.
#ifndef LEAFKIT_VELKLEAF_DIAGNOSTIC_FILE_H
#define LEAFKIT_VELKLEAF_DIAGNOSTIC_FILE_H

#include <opencv2/core.hpp>

#include <string>

// "d:\aa.bmp" on Windows; aa.bmp in the system's temporary directory elsewhere; empty
// when there is no temporary directory.
std::string diagnosticImagePath();

// Writes image as a Windows bitmap to diagnosticImagePath(); never follows a symbolic
// link there, never waits on a pipe and writes only a regular file. Failure is ignored:
// the file is a by-product.
void writeDiagnosticImage(const cv::Mat& image);

#endif
