# orvo_prueba(nombre [FUENTES ...] [BIBLIOTECAS ...] [DEFINICIONES ...] [CON_EJECUTOR]
#             [PROPIEDADES ...])
# Una prueba de QtTest: un ejecutable con sus fuentes (nombre.cpp si no se dan), enlazado con
# las bibliotecas que prueba, que ctest lanza sin pantalla. CON_EJECUTOR la hace esperar a la
# orden orvo-informes y le da su ruta en ORVO_INFORMES_EXE, para las pruebas de punta a punta.
function(orvo_prueba nombre)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "CON_EJECUTOR" ""
                        "FUENTES;BIBLIOTECAS;DEFINICIONES;PROPIEDADES")
  if(NOT ARG_FUENTES)
    set(ARG_FUENTES ${nombre}.cpp)
  endif()
  add_executable(${nombre} ${ARG_FUENTES})
  target_link_libraries(${nombre} PRIVATE ${ARG_BIBLIOTECAS} Qt6::Test)
  if(ARG_DEFINICIONES)
    target_compile_definitions(${nombre} PRIVATE ${ARG_DEFINICIONES})
  endif()
  if(ARG_CON_EJECUTOR)
    add_dependencies(${nombre} orvo-informes)
    target_compile_definitions(${nombre} PRIVATE ORVO_INFORMES_EXE="$<TARGET_FILE:orvo-informes>")
  endif()
  add_test(NAME ${nombre} COMMAND ${nombre})
  # La bitácora de las pruebas queda en la carpeta de compilación, no en la del usuario.
  set_tests_properties(${nombre} PROPERTIES ENVIRONMENT
                       "QT_QPA_PLATFORM=offscreen;ORVO_BITACORA=${CMAKE_BINARY_DIR}/pruebas.log"
                       ${ARG_PROPIEDADES})
endfunction()
