# Warnings on for the project's own targets; -Werror stays off so that a newer
# compiler's new warning does not break a user's build.
add_library(leafkit_warnings INTERFACE)
target_compile_options(leafkit_warnings INTERFACE -Wall -Wextra)
