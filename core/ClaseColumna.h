#pragma once
// What a printed or exported column holds: dates, codes and numbers are never cut (a page goes
// landscape or smaller before that), texts may wrap, amounts are right-aligned numbers.
enum class ClaseColumna { Texto, Fecha, Codigo, Numero, Importe };
