# What `cmake --install` puts in place: the four tools, their manual pages
# (man/), the table files (tables/) and the README.
install(TARGETS mt2analyzer mt3analyzer mt2decoder mt3decoder RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/meridian-tools)
