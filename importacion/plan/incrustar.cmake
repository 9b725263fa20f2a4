# Genera PlanDatos.h con el texto de los archivos del plan, para que el programa los lleve dentro.
file(READ ${CUADRO} cuadro)
file(READ ${PYMES} pymes)
file(READ ${ABREVIADO} abreviado)
file(WRITE ${SALIDA} "#pragma once\n// Generado a partir de importacion/plan/*.txt\nnamespace orvo::Plan {\ninline constexpr const char* kCuadro = R\"plan(${cuadro})plan\";\ninline constexpr const char* kPymes = R\"plan(${pymes})plan\";\ninline constexpr const char* kAbreviado = R\"plan(${abreviado})plan\";\n}\n")
