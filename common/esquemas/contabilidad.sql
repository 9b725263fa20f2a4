-- Libros de contabilidad tal como los leen los informes.
-- Los importes se guardan como texto con convenciones españolas ("1.234,56"), como los guarda
-- la rutina de asientos; los informes los leen con CCur. Las fechas son textos "yyyymmdd".

CREATE TABLE IF NOT EXISTS Empresa (
    IDEmpresa INTEGER PRIMARY KEY,
    Abreviatura TEXT NOT NULL DEFAULT '',
    Nombre TEXT NOT NULL DEFAULT '',
    AñoEjercicio INTEGER NOT NULL,
    FechaIni TEXT NOT NULL,
    FechaFin TEXT NOT NULL,
    DesgloseSubCuentas INTEGER NOT NULL DEFAULT 7,
    CodEmpresaAnterior INTEGER NOT NULL DEFAULT 0,
    NIF TEXT NOT NULL DEFAULT '',
    IAE TEXT NOT NULL DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Tipo_Cuenta (
    IDTipo_Cuenta INTEGER PRIMARY KEY,
    Descripcion TEXT NOT NULL DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Documento (
    IDDocumento INTEGER PRIMARY KEY,
    Descripcion TEXT NOT NULL DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Naturaleza (
    IDNaturaleza INTEGER PRIMARY KEY,
    Descripcion TEXT NOT NULL DEFAULT ''
);

-- Desglosar sigue la costumbre de los libros: 0 falso, cualquier otro valor (-1) verdadero.
CREATE TABLE IF NOT EXISTS Cuenta (
    IDCuenta INTEGER PRIMARY KEY,
    CodEmpresa INTEGER NOT NULL REFERENCES Empresa(IDEmpresa),
    CodTipo_Cuenta INTEGER NOT NULL REFERENCES Tipo_Cuenta(IDTipo_Cuenta),
    Codigo TEXT NOT NULL,
    Descripcion TEXT NOT NULL DEFAULT '',
    Nivel INTEGER NOT NULL,
    Desglosar INTEGER NOT NULL DEFAULT 0,
    DNI_CIF TEXT NOT NULL DEFAULT '',
    Debe01 TEXT NOT NULL DEFAULT '0',
    Debe02 TEXT NOT NULL DEFAULT '0',
    Debe03 TEXT NOT NULL DEFAULT '0',
    Debe04 TEXT NOT NULL DEFAULT '0',
    Debe05 TEXT NOT NULL DEFAULT '0',
    Debe06 TEXT NOT NULL DEFAULT '0',
    Debe07 TEXT NOT NULL DEFAULT '0',
    Debe08 TEXT NOT NULL DEFAULT '0',
    Debe09 TEXT NOT NULL DEFAULT '0',
    Debe10 TEXT NOT NULL DEFAULT '0',
    Debe11 TEXT NOT NULL DEFAULT '0',
    Debe12 TEXT NOT NULL DEFAULT '0',
    DebeTotal TEXT NOT NULL DEFAULT '0',
    Debe01Euros TEXT NOT NULL DEFAULT '0',
    Debe02Euros TEXT NOT NULL DEFAULT '0',
    Debe03Euros TEXT NOT NULL DEFAULT '0',
    Debe04Euros TEXT NOT NULL DEFAULT '0',
    Debe05Euros TEXT NOT NULL DEFAULT '0',
    Debe06Euros TEXT NOT NULL DEFAULT '0',
    Debe07Euros TEXT NOT NULL DEFAULT '0',
    Debe08Euros TEXT NOT NULL DEFAULT '0',
    Debe09Euros TEXT NOT NULL DEFAULT '0',
    Debe10Euros TEXT NOT NULL DEFAULT '0',
    Debe11Euros TEXT NOT NULL DEFAULT '0',
    Debe12Euros TEXT NOT NULL DEFAULT '0',
    DebeTotalEuros TEXT NOT NULL DEFAULT '0',
    Haber01 TEXT NOT NULL DEFAULT '0',
    Haber02 TEXT NOT NULL DEFAULT '0',
    Haber03 TEXT NOT NULL DEFAULT '0',
    Haber04 TEXT NOT NULL DEFAULT '0',
    Haber05 TEXT NOT NULL DEFAULT '0',
    Haber06 TEXT NOT NULL DEFAULT '0',
    Haber07 TEXT NOT NULL DEFAULT '0',
    Haber08 TEXT NOT NULL DEFAULT '0',
    Haber09 TEXT NOT NULL DEFAULT '0',
    Haber10 TEXT NOT NULL DEFAULT '0',
    Haber11 TEXT NOT NULL DEFAULT '0',
    Haber12 TEXT NOT NULL DEFAULT '0',
    HaberTotal TEXT NOT NULL DEFAULT '0',
    Haber01Euros TEXT NOT NULL DEFAULT '0',
    Haber02Euros TEXT NOT NULL DEFAULT '0',
    Haber03Euros TEXT NOT NULL DEFAULT '0',
    Haber04Euros TEXT NOT NULL DEFAULT '0',
    Haber05Euros TEXT NOT NULL DEFAULT '0',
    Haber06Euros TEXT NOT NULL DEFAULT '0',
    Haber07Euros TEXT NOT NULL DEFAULT '0',
    Haber08Euros TEXT NOT NULL DEFAULT '0',
    Haber09Euros TEXT NOT NULL DEFAULT '0',
    Haber10Euros TEXT NOT NULL DEFAULT '0',
    Haber11Euros TEXT NOT NULL DEFAULT '0',
    Haber12Euros TEXT NOT NULL DEFAULT '0',
    HaberTotalEuros TEXT NOT NULL DEFAULT '0',
    Presupuesto01 TEXT NOT NULL DEFAULT '0',
    Presupuesto02 TEXT NOT NULL DEFAULT '0',
    Presupuesto03 TEXT NOT NULL DEFAULT '0',
    Presupuesto04 TEXT NOT NULL DEFAULT '0',
    Presupuesto05 TEXT NOT NULL DEFAULT '0',
    Presupuesto06 TEXT NOT NULL DEFAULT '0',
    Presupuesto07 TEXT NOT NULL DEFAULT '0',
    Presupuesto08 TEXT NOT NULL DEFAULT '0',
    Presupuesto09 TEXT NOT NULL DEFAULT '0',
    Presupuesto10 TEXT NOT NULL DEFAULT '0',
    Presupuesto11 TEXT NOT NULL DEFAULT '0',
    Presupuesto12 TEXT NOT NULL DEFAULT '0',
    PresupuestoTotal TEXT NOT NULL DEFAULT '0',
    Presupuesto01Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto02Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto03Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto04Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto05Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto06Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto07Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto08Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto09Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto10Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto11Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto12Euros TEXT NOT NULL DEFAULT '0',
    PresupuestoTotalEuros TEXT NOT NULL DEFAULT '0'
);
CREATE UNIQUE INDEX IF NOT EXISTS ixCuentaEmpresaCodigo ON Cuenta (CodEmpresa, Codigo);
CREATE INDEX IF NOT EXISTS ixCuentaEmpresaTipo ON Cuenta (CodEmpresa, CodTipo_Cuenta, Codigo);

-- SumaConSigno: la fórmula del epígrafe da su suma con signo, como en los modelos de 2007, de
-- una columna «(Debe) Haber» por año (una pérdida es negativa); 0, como en los estados a dos
-- lados, Debe y Haber, una suma negativa vale 0. Los libros sin la columna son de los segundos.
CREATE TABLE IF NOT EXISTS Estructura (
    IDEstructura INTEGER PRIMARY KEY,
    CodEmpresa INTEGER NOT NULL REFERENCES Empresa(IDEmpresa),
    CodDocumento INTEGER NOT NULL REFERENCES Documento(IDDocumento),
    CodigoEpigrafe TEXT NOT NULL DEFAULT '',
    Descripcion TEXT NOT NULL DEFAULT '',
    CodNaturaleza INTEGER NOT NULL REFERENCES Naturaleza(IDNaturaleza),
    OrdenEpigrafe INTEGER NOT NULL DEFAULT 1,
    Formula TEXT NOT NULL DEFAULT '',
    SumaConSigno INTEGER NOT NULL DEFAULT 0,
    Total01 TEXT NOT NULL DEFAULT '0',
    Total02 TEXT NOT NULL DEFAULT '0',
    Total03 TEXT NOT NULL DEFAULT '0',
    Total04 TEXT NOT NULL DEFAULT '0',
    Total05 TEXT NOT NULL DEFAULT '0',
    Total06 TEXT NOT NULL DEFAULT '0',
    Total07 TEXT NOT NULL DEFAULT '0',
    Total08 TEXT NOT NULL DEFAULT '0',
    Total09 TEXT NOT NULL DEFAULT '0',
    Total10 TEXT NOT NULL DEFAULT '0',
    Total11 TEXT NOT NULL DEFAULT '0',
    Total12 TEXT NOT NULL DEFAULT '0',
    Total TEXT NOT NULL DEFAULT '0',
    Total01Euros TEXT NOT NULL DEFAULT '0',
    Total02Euros TEXT NOT NULL DEFAULT '0',
    Total03Euros TEXT NOT NULL DEFAULT '0',
    Total04Euros TEXT NOT NULL DEFAULT '0',
    Total05Euros TEXT NOT NULL DEFAULT '0',
    Total06Euros TEXT NOT NULL DEFAULT '0',
    Total07Euros TEXT NOT NULL DEFAULT '0',
    Total08Euros TEXT NOT NULL DEFAULT '0',
    Total09Euros TEXT NOT NULL DEFAULT '0',
    Total10Euros TEXT NOT NULL DEFAULT '0',
    Total11Euros TEXT NOT NULL DEFAULT '0',
    Total12Euros TEXT NOT NULL DEFAULT '0',
    TotalEuros TEXT NOT NULL DEFAULT '0',
    Presupuesto01 TEXT NOT NULL DEFAULT '0',
    Presupuesto02 TEXT NOT NULL DEFAULT '0',
    Presupuesto03 TEXT NOT NULL DEFAULT '0',
    Presupuesto04 TEXT NOT NULL DEFAULT '0',
    Presupuesto05 TEXT NOT NULL DEFAULT '0',
    Presupuesto06 TEXT NOT NULL DEFAULT '0',
    Presupuesto07 TEXT NOT NULL DEFAULT '0',
    Presupuesto08 TEXT NOT NULL DEFAULT '0',
    Presupuesto09 TEXT NOT NULL DEFAULT '0',
    Presupuesto10 TEXT NOT NULL DEFAULT '0',
    Presupuesto11 TEXT NOT NULL DEFAULT '0',
    Presupuesto12 TEXT NOT NULL DEFAULT '0',
    Presupuesto01Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto02Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto03Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto04Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto05Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto06Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto07Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto08Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto09Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto10Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto11Euros TEXT NOT NULL DEFAULT '0',
    Presupuesto12Euros TEXT NOT NULL DEFAULT '0'
);
CREATE INDEX IF NOT EXISTS ixEstructuraEmpresaDocumento
    ON Estructura (CodEmpresa, CodDocumento, CodigoEpigrafe);

CREATE TABLE IF NOT EXISTS Rel_Estructura_Cuenta (
    CodEstructura INTEGER NOT NULL REFERENCES Estructura(IDEstructura),
    CodCuenta INTEGER NOT NULL REFERENCES Cuenta(IDCuenta),
    PRIMARY KEY (CodEstructura, CodCuenta)
);
CREATE INDEX IF NOT EXISTS ixRelCuenta ON Rel_Estructura_Cuenta (CodCuenta);

CREATE TABLE IF NOT EXISTS Asiento (
    IDAsiento INTEGER PRIMARY KEY,
    CodEmpresa INTEGER NOT NULL REFERENCES Empresa(IDEmpresa),
    Numero INTEGER NOT NULL,
    Fecha TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS ixAsientoEmpresaFecha ON Asiento (CodEmpresa, Fecha);
CREATE INDEX IF NOT EXISTS ixAsientoEmpresaNumero ON Asiento (CodEmpresa, Numero);

-- Las columnas de factura solo las llevan los apuntes de las cuentas de IVA.
CREATE TABLE IF NOT EXISTS Apunte (
    IDApunte INTEGER PRIMARY KEY,
    CodAsiento INTEGER NOT NULL REFERENCES Asiento(IDAsiento),
    CodCuenta INTEGER NOT NULL REFERENCES Cuenta(IDCuenta),
    Concepto TEXT NOT NULL DEFAULT '',
    CtdadDebe TEXT NOT NULL DEFAULT '0',
    CtdadHaber TEXT NOT NULL DEFAULT '0',
    CtdadDebeEuros TEXT NOT NULL DEFAULT '0',
    CtdadHaberEuros TEXT NOT NULL DEFAULT '0',
    Factura TEXT NOT NULL DEFAULT '',
    Contrapartida TEXT NOT NULL DEFAULT '',
    PorcentajeIVA TEXT NOT NULL DEFAULT '0',
    PorcentajeRecargo TEXT NOT NULL DEFAULT '0',
    BaseImp TEXT,
    BaseImpEuros TEXT
);
CREATE INDEX IF NOT EXISTS ixApunteAsiento ON Apunte (CodAsiento);
CREATE INDEX IF NOT EXISTS ixApunteCuenta ON Apunte (CodCuenta, CodAsiento);
