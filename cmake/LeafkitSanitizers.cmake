# With LEAFKIT_SANITIZE every target is built with ASan and UBSan, and any report
# aborts the process so that ctest sees a failure.
if(LEAFKIT_SANITIZE)
  set(_leafkit_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${_leafkit_sanitize_flags})
  add_link_options(-fsanitize=address,undefined)
endif()
