#pragma once
// The backup and the restore of the open books from the main window's menu ("Copia de seguridad…",
// "Restaurar copia…"), for a profile granted the maintenance module "frmBaseDatos": a file chooser,
// the progress while the work runs and a message with its result.
class QWidget;

// Writes a checked copy of the open books into a file the user chooses and names it in the result.
void CopioBaseDesdeMenu(QWidget* ventana);
// Replaces the books with a backup the user chooses, with every check and refusal of the restore,
// after the user's agreement. Every screen closes and the program lets go of the books first; after a
// restore the program ends (the next start examines the restored books, upgrades them when they come
// from an older version, and asks for the login of their own users); when the restore is refused the
// program goes on with the books as they were.
void RestauroBaseDesdeMenu(QWidget* ventana);
