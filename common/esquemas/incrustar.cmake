# Genera EsquemasSql.h con el texto de los dos archivos .sql, para que el programa los lleve dentro.
file(READ ${CONTABILIDAD} contabilidad)
file(READ ${INFORMES} informes)
file(WRITE ${SALIDA} "#pragma once\n// Generado a partir de common/esquemas/*.sql\nnamespace orvo::Esquemas {\ninline constexpr const char* kContabilidadSql = R\"sql(${contabilidad})sql\";\ninline constexpr const char* kInformesSql = R\"sql(${informes})sql\";\n}\n")
