# The host's nlohmann-json3-dev is of major version 3.
set(PACKAGE_VERSION 3)
if(PACKAGE_FIND_VERSION_MAJOR EQUAL 3)
  set(PACKAGE_VERSION_COMPATIBLE TRUE)
endif()
