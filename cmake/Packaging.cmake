# `cmake --build <dir> --target package` makes two zips:
#   quillFeed-VERSION-win64.zip          the plug-in and its install note
#   quillFeed-devhost-VERSION-win64.zip  the stand-in host, sample feeds and their server
set(QF_VERSION ${PROJECT_VERSION})
set(QF_PACKAGING_DIR ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
configure_file(${QF_PACKAGING_DIR}/INSTALL.txt ${CMAKE_CURRENT_BINARY_DIR}/packaging/INSTALL.txt @ONLY)
configure_file(${QF_PACKAGING_DIR}/DEVHOST.txt ${CMAKE_CURRENT_BINARY_DIR}/packaging/README.txt @ONLY)

# Only the DLL: its import library is of no use to the messenger.
install(FILES $<TARGET_FILE:quillFeed> ${CMAKE_CURRENT_BINARY_DIR}/packaging/INSTALL.txt
        DESTINATION . COMPONENT plugin)

if(TARGET devhost)
    install(FILES $<TARGET_FILE:devhost> ${CMAKE_CURRENT_BINARY_DIR}/packaging/README.txt
            DESTINATION . COMPONENT devhost)
    install(FILES samples/feeds.txt samples/wiadomosci.xml samples/biblioteka.xml samples/engineering.xml samples/szlaki.xml
                  samples/broken.xml
            DESTINATION samples COMPONENT devhost)
    install(PROGRAMS scripts/feed-server DESTINATION . COMPONENT devhost)
endif()

set(CPACK_PACKAGE_NAME quillFeed)
set(CPACK_PACKAGE_VENDOR "The quillFeed project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "RSS reader plug-in for the WTW instant messenger")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_GENERATOR ZIP)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING IGNORE)
set(CPACK_COMPONENTS_ALL plugin devhost)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_ARCHIVE_PLUGIN_FILE_NAME quillFeed-${PROJECT_VERSION}-win64)
set(CPACK_ARCHIVE_DEVHOST_FILE_NAME quillFeed-devhost-${PROJECT_VERSION}-win64)
include(CPack)
