#pragma once
// The demonstration book offered on the first start, once the user has logged in on the new database.

// Hands start-up the offer (called from the program's entry point).
void RegistroOfertaDemostracion();
// Asks whether to make the book; when made, its second year becomes the current one. Nothing is made
// unless the user says so.
void OfrezcoDemostracion();
