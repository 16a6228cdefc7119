# The Debian package (make package): what CPack needs beyond the install rules, and the files
# Debian expects of every package.

# The package's Maintainer field and its changelog name the project itself, with the address its
# repository's commits carry; no single person maintains the package.
set(LUREBOOK_PACKAGE_MAINTAINER
    "Lurebook developers <maintainers@users.noreply.c-seed-14d815fc.example>"
    CACHE STRING "Maintainer of the Debian package")

set(LUREBOOK_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/package-doc/changelog.gz)
add_custom_command(
  OUTPUT ${LUREBOOK_CHANGELOG_GZ}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_LIST_DIR}/changelog
          ${CMAKE_BINARY_DIR}/package-doc/changelog
  COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/package-doc/changelog
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog
  VERBATIM)
add_custom_target(lurebook_package_doc ALL DEPENDS ${LUREBOOK_CHANGELOG_GZ})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${LUREBOOK_CHANGELOG_GZ}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lurebook)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lurebook)
set(CPACK_PACKAGE_VENDOR "Lurebook developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${LUREBOOK_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries come from the program itself (dpkg-shlibdeps); what it loads or needs by name
# at run time is added by hand: the fonts its layouts are measured in, and, recommended, Qt's
# Japanese dialog texts, the image formats beyond JPEG, colour emoji and xdg-open for photos
# and the manual.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, qt6-image-formats-plugins, fonts-noto-color-emoji, xdg-utils")
# No Homepage field: the project has no web site of its own yet.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "fishing log with a Japanese user interface
Lurebook keeps a log of fishing trips: date, weather, target species, water
temperature, high and low tide, place, method, memo and photos of each trip,
with the fish caught on it (species, length, weight, time, photos). It lists
all trips, charts catches per month, ranks a year's catches by weight, shows
photo thumbnails and keeps a calendar with Japanese public holidays, the
moon's age and the tide of each day. Trips can be exchanged as CSV and a
season summed up as a PDF report.

Lurebook は日本語で使う釣り日誌です。釣行ごとに日付、天候、狙い、水温、
満潮と干潮、場所、釣り方、メモと写真を、釣れた魚ごとに魚種名、体長、重さ、
釣れた時間と写真を記録します。釣行の一覧、月別の釣果グラフ、重さの
ランキング、写真の一覧、祝日と月齢、潮を示すカレンダーがあり、CSV の
書き出しと取り込み、PDF の年間レポートもできます。")

include(CPack)
