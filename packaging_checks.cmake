# Read by cpack before it makes each package. A Debian package is made only when its
# dependencies can be read: without them it would install, and its programs would not start.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(KELMARIN_SHLIBDEPS dpkg-shlibdeps)
  if(NOT KELMARIN_SHLIBDEPS)
    message(FATAL_ERROR
      "The Debian package's dependencies are read by dpkg-shlibdeps, which is not installed. "
      "Install it (as root: apt-get install dpkg-dev; scripts/test.sh installs it too), then run "
      "cpack -G DEB again.")
  endif()
endif()
