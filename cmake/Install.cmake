# What `cmake --install` puts in place: the four tools, their manual pages
# (man/), the table files (tables/) and the README.
foreach(tool IN ITEMS mt2analyzer mt3analyzer mt2decoder mt3decoder)
  if(TARGET ${tool})
    install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/meridian-tools)
