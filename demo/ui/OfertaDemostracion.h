#pragma once
// The demonstration book offered on the first start, once the user has logged in on the new database.

// Hands start-up the offer of the book, and the fiscal years screen the offer of the model chart (called from
// the program's entry point).
void RegistroOfertaDemostracion();
// Asks whether to make the book; when made, its second year becomes the current one. Nothing is made
// unless the user says so.
void OfrezcoDemostracion();
// Asks whether to copy the model chart into a new year whose chart holds only its root.
void OfrezcoPlanModelo(int empresa, int ejercicio);
