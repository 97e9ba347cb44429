# Copies the sample library files into TARGET_DIR when it holds no .vbs file
# (any letter case) yet.
file(GLOB _present ${TARGET_DIR}/*)
foreach(_f IN LISTS _present)
  string(TOUPPER "${_f}" _up)
  if(_up MATCHES "\\.VBS$" AND NOT IS_DIRECTORY "${_f}")
    return()
  endif()
endforeach()
file(GLOB _samples ${SOURCE_DIR}/*.vbs)
if(_samples)
  file(MAKE_DIRECTORY ${TARGET_DIR})
  file(COPY ${_samples} DESTINATION ${TARGET_DIR})
endif()
