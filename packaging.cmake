# cpack -G DEB, run in the build folder, makes kelmarin_<version>_<arch>.deb. Its dependencies
# are read from the installed programs' shared libraries by dpkg-shlibdeps: without it, cpack
# stops (packaging_checks.cmake) rather than make a package that installs without them. A help
# viewer is recommended. No web address or mail address is given: the project has none to give.
set(CPACK_PACKAGE_NAME kelmarin)
set(CPACK_PACKAGE_VENDOR "The Kelmarin developers")
set(CPACK_PACKAGE_CONTACT "The Kelmarin developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "where short words begin in nucleotide sequences")
# One string: separate quoted pieces would make a list, whose ";" would begin the lines.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kelmarin reads a file of nucleotide sequences, plain text, FASTA or FASTQ, gzipped or\n"
    "not, and for up to four short words (codons, motifs) counts where in each sequence every\n"
    "occurrence begins, as a percentage of the sequence length, drawing the profiles live in\n"
    "a chart. Words may be written in IUPAC codes, and can be looked for on both strands.\n"
    "kelmarin-batch makes the same run without a window and writes CSV.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# No library names the fonts: fonts-liberation gives the faces the window is designed with.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xchm, xdg-utils, file")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging_checks.cmake)
include(CPack)
