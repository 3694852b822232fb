# The Debian package: `cmake --build <build folder> --target package` gives
# vantrel_<version>_<architecture>.deb with the programs as this build made them (stripped).
# Everything goes below /usr; nothing is put into /etc: the helper installer writes the
# configuration when a user first starts the program (and postinst, for the exporter's user).

set(VANTREL_PACKAGE_MAINTAINER
    "Vantrel maintainers <maintainers@users.noreply.c-seed-9355083e.example>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS vantrel vantrel-sample RUNTIME DESTINATION bin)
install(TARGETS OrvikHelper vantrel-helper-installer RUNTIME DESTINATION libexec/vantrel)
install(FILES ${packaging}/org.vantrel.helper.smc.socket ${packaging}/org.vantrel.helper.smc.service
              ${packaging}/vantrel-exporter.service
        DESTINATION lib/systemd/system)
install(FILES ${packaging}/vantrel-exporter.sysusers DESTINATION lib/sysusers.d
        RENAME vantrel-exporter.conf)
install(FILES ${packaging}/org.vantrel.helper.install.policy DESTINATION share/polkit-1/actions)
install(FILES ${packaging}/vantrel.desktop DESTINATION share/applications)
install(FILES ${packaging}/vantrel.svg DESTINATION share/icons/hicolor/scalable/apps)

# Debian keeps the change log and manual pages compressed, without a time stamp inside.
set(compressed_dir ${PROJECT_BINARY_DIR}/package-files)
set(compressed)
foreach(file changelog vantrel.1 vantrel-sample.1)
  add_custom_command(OUTPUT ${compressed_dir}/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${compressed_dir}
    COMMAND sh -c "gzip -9nc \"$1\" > \"$2\"" sh ${packaging}/${file} ${compressed_dir}/${file}.gz
    DEPENDS ${packaging}/${file} VERBATIM)
  list(APPEND compressed ${compressed_dir}/${file}.gz)
endforeach()
add_custom_target(vantrel_package_files ALL DEPENDS ${compressed})
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/HELPER_SERVICE.md
              ${packaging}/copyright ${compressed_dir}/changelog.gz ${packaging}/vantrel-alerts.yml
        DESTINATION share/doc/vantrel)
install(FILES ${compressed_dir}/vantrel.1.gz ${compressed_dir}/vantrel-sample.1.gz
        DESTINATION share/man/man1)

# A stripped program (CPack strips) also loses the compilers' notes, as Debian's own do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program bin/vantrel bin/vantrel-sample libexec/vantrel/OrvikHelper
                    libexec/vantrel/vantrel-helper-installer)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                              \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "system monitor in the tray, with a root sensor helper")
set(CPACK_PACKAGE_DESCRIPTION
    "Vantrel samples the machine's CPU, memory, network, disk, GPU, battery and
busiest processes once per refresh interval and shows them in the desktop's
tray (or in a small status strip), keeping 60-sample histories and session
peaks.
.
Temperatures, fans and power come from the sensor helper OrvikHelper, a small
socket-activated systemd service that runs as root because the energy
counters and the applesmc keys are root's alone. It answers only the users
listed in /etc/vantrel/helper.conf, which the program adds its user to
through pkexec and an administrator's password.
.
vantrel-sample prints the same readings as JSON, for scripts and servers, and
serves them to Prometheus: vantrel-exporter.service (off until enabled) runs
it on 127.0.0.1:9839 as the system user vantrel-exporter, whom the helper
answers.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VANTREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries the programs link, found by dpkg-shlibdeps, and what they run or show:
# pkexec asks for the password, the session bus carries the tray item and notifications, the
# icon font draws the symbols.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The exporter's system user comes from systemd-sysusers (systemd, or its standalone package).
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "pkexec, dbus, fonts-material-design-icons-iconfont, systemd-sysusers")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${packaging}/postinst ${packaging}/prerm ${packaging}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
