-- Tablas de trabajo de los informes. Cada informe escribe sus filas en el orden en que se
-- imprimen; el motor las lee por rowid. Las columnas de texto valen '' si no se escriben.

CREATE TABLE IF NOT EXISTS Balances (
    IDBalance INTEGER PRIMARY KEY,
    Nivel INTEGER DEFAULT 0,
    Descripcion TEXT DEFAULT '',
    Codigo TEXT DEFAULT '',
    Total TEXT DEFAULT '',
    Formula TEXT DEFAULT '',
    Presupuesto TEXT DEFAULT '',
    Media TEXT DEFAULT '',
    Naturaleza TEXT DEFAULT '',
    Orden INTEGER DEFAULT 0
);

CREATE TABLE IF NOT EXISTS BalancesComparativo (
    IDBalanceComp INTEGER PRIMARY KEY,
    Naturaleza TEXT DEFAULT '',
    Nivel INTEGER DEFAULT 0,
    Descripcion TEXT DEFAULT '',
    CodigoA TEXT DEFAULT '',
    TotalA TEXT DEFAULT '',
    PresupuestoA TEXT DEFAULT '',
    MediaA TEXT DEFAULT '',
    FormulaA TEXT DEFAULT '',
    CodigoB TEXT DEFAULT '',
    TotalB TEXT DEFAULT '',
    PresupuestoB TEXT DEFAULT '',
    MediaB TEXT DEFAULT '',
    FormulaB TEXT DEFAULT '',
    Orden INTEGER DEFAULT 0
);

CREATE TABLE IF NOT EXISTS BalanceSumasySaldos (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    Debe TEXT DEFAULT '',
    Haber TEXT DEFAULT '',
    Saldo TEXT DEFAULT '',
    SaldoApertura TEXT DEFAULT '',
    Presupuesto TEXT DEFAULT '',
    Media TEXT DEFAULT '',
    Nivel INTEGER DEFAULT 0,
    Empresa TEXT DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Presupuesto (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    PresupuestoTotal TEXT DEFAULT '',
    PresupuestoEnero TEXT DEFAULT '',
    PresupuestoFebrero TEXT DEFAULT '',
    PresupuestoMarzo TEXT DEFAULT '',
    PresupuestoAbril TEXT DEFAULT '',
    PresupuestoMayo TEXT DEFAULT '',
    PresupuestoJunio TEXT DEFAULT '',
    PresupuestoJulio TEXT DEFAULT '',
    PresupuestoAgosto TEXT DEFAULT '',
    PresupuestoSeptiembre TEXT DEFAULT '',
    PresupuestoOctubre TEXT DEFAULT '',
    PresupuestoNoviembre TEXT DEFAULT '',
    PresupuestoDiciembre TEXT DEFAULT ''
);

CREATE TABLE IF NOT EXISTS PresupuestoAnual (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    PresupuestoTotal TEXT DEFAULT '',
    PresupuestoEnero TEXT DEFAULT '',
    PresupuestoFebrero TEXT DEFAULT '',
    PresupuestoMarzo TEXT DEFAULT '',
    PresupuestoAbril TEXT DEFAULT '',
    PresupuestoMayo TEXT DEFAULT '',
    PresupuestoJunio TEXT DEFAULT '',
    PresupuestoJulio TEXT DEFAULT '',
    PresupuestoAgosto TEXT DEFAULT '',
    PresupuestoSeptiembre TEXT DEFAULT '',
    PresupuestoOctubre TEXT DEFAULT '',
    PresupuestoNoviembre TEXT DEFAULT '',
    PresupuestoDiciembre TEXT DEFAULT '',
    MediaTotal TEXT DEFAULT '',
    MediaEnero TEXT DEFAULT '',
    MediaFebrero TEXT DEFAULT '',
    MediaMarzo TEXT DEFAULT '',
    MediaAbril TEXT DEFAULT '',
    MediaMayo TEXT DEFAULT '',
    MediaJunio TEXT DEFAULT '',
    MediaJulio TEXT DEFAULT '',
    MediaAgosto TEXT DEFAULT '',
    MediaSeptiembre TEXT DEFAULT '',
    MediaOctubre TEXT DEFAULT '',
    MediaNoviembre TEXT DEFAULT '',
    MediaDiciembre TEXT DEFAULT '',
    SaldoTotal TEXT DEFAULT '',
    Saldo01 TEXT DEFAULT '',
    Saldo02 TEXT DEFAULT '',
    Saldo03 TEXT DEFAULT '',
    Saldo04 TEXT DEFAULT '',
    Saldo05 TEXT DEFAULT '',
    Saldo06 TEXT DEFAULT '',
    Saldo07 TEXT DEFAULT '',
    Saldo08 TEXT DEFAULT '',
    Saldo09 TEXT DEFAULT '',
    Saldo10 TEXT DEFAULT '',
    Saldo11 TEXT DEFAULT '',
    Saldo12 TEXT DEFAULT '',
    DiferenciaTotal TEXT DEFAULT '',
    Diferencia01 TEXT DEFAULT '',
    Diferencia02 TEXT DEFAULT '',
    Diferencia03 TEXT DEFAULT '',
    Diferencia04 TEXT DEFAULT '',
    Diferencia05 TEXT DEFAULT '',
    Diferencia06 TEXT DEFAULT '',
    Diferencia07 TEXT DEFAULT '',
    Diferencia08 TEXT DEFAULT '',
    Diferencia09 TEXT DEFAULT '',
    Diferencia10 TEXT DEFAULT '',
    Diferencia11 TEXT DEFAULT '',
    Diferencia12 TEXT DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Libro_Diario (
    Asiento TEXT DEFAULT '',
    Fecha TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    Concepto TEXT DEFAULT '',
    Debe TEXT DEFAULT '',
    Haber TEXT DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Libro_Mayor (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    Asiento TEXT DEFAULT '',
    Fecha TEXT DEFAULT '',
    Concepto TEXT DEFAULT '',
    Debe TEXT DEFAULT '',
    Haber TEXT DEFAULT '',
    Saldo TEXT DEFAULT ''
);

CREATE TABLE IF NOT EXISTS Libros_IVA (
    NumFactura TEXT DEFAULT '',
    Fecha TEXT DEFAULT '',
    CodSubcuenta TEXT DEFAULT '',
    DescripcionSubcuenta TEXT DEFAULT '',
    NIF TEXT DEFAULT '',
    NumAsiento TEXT DEFAULT '',
    Concepto TEXT DEFAULT '',
    BaseImponible TEXT DEFAULT '',
    IVA TEXT DEFAULT '',
    CuotaIVA TEXT DEFAULT '',
    Recargo TEXT DEFAULT '',
    CuotaRecargo TEXT DEFAULT '',
    TotalFactura TEXT DEFAULT ''
);

-- Resumen trimestral de IVA: una fila por línea de cada sección; Destacado "1" va en negrita.
CREATE TABLE IF NOT EXISTS ResumenIVA (
    Seccion TEXT DEFAULT '',
    Concepto TEXT DEFAULT '',
    Tipo TEXT DEFAULT '',
    BaseImponible TEXT DEFAULT '',
    Cuota TEXT DEFAULT '',
    Destacado TEXT DEFAULT '0'
);

CREATE TABLE IF NOT EXISTS Subcuentas (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    Nivel INTEGER DEFAULT 0
);

CREATE TABLE IF NOT EXISTS Epigrafes (
    Codigo TEXT DEFAULT '',
    Descripcion TEXT DEFAULT '',
    Naturaleza TEXT DEFAULT '',
    Formula TEXT DEFAULT '',
    Nivel INTEGER DEFAULT 0
);
