# The Debian package: `cpack -G DEB` in a Release build tree makes quillsheet_<version>_amd64.deb
# from the install rules.
set(CPACK_PACKAGE_NAME quillsheet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillsheet developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of spreadsheet workbooks to PDF")
set(CPACK_PACKAGE_DESCRIPTION [=[
Quillsheet converts every .xls, .xlsx and .xlsm workbook below a folder to PDF
in the spreadsheet application's print layout: one PDF per non-blank worksheet,
or one per workbook, below an output folder that repeats the source tree, or
beside each workbook. It drives a private, headless LibreOffice Calc.
The package holds the window program Quillsheet and the command line
quillsheet-cli for scripts and servers.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quillsheet developers <maintainers@users.noreply.c-seed-40b2dbce.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps follows the programs' rpath into the office's program folder, so the Qt and UNO
# libraries they link become dependencies by themselves; the office itself is only started.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The metric twins of Excel's fonts (Calibri, Cambria; Arial, Times New Roman, Courier New) are
# dependencies: without them every workbook in those fonts breaks its pages elsewhere than Excel
# does, and they are small (about 7 MB together).
# bubblewrap keeps workbooks from strangers from reading other files or calling out (without
# it the offices run unsandboxed, and the program says so).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-calc-nogui | libreoffice-calc, fonts-crosextra-carlito, fonts-crosextra-caladea, fonts-liberation2, bubblewrap")
# Workbooks with Chinese, Japanese or Korean text print with these fonts (about 90 MB, so
# recommended rather than required); Arabic, Hebrew, Thai, Indian and other scripts in Noto's faces
# of Windows' own fallbacks' widths (about 40 MB; without them in DejaVu Sans, wider, so that text
# runs over); Century Gothic, Book Antiqua, Century Schoolbook and Bookman Old Style in URW's clones
# of the faces they were drawn after (else in the nearest of the fonts above). Qt's own translations
# give Chinese-speaking users the file dialogs and message boxes in Chinese, like the rest of the
# window; without them those are English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-noto-cjk, fonts-noto-core, fonts-urw-base35, qttranslations5-l10n")

include(CPack)
