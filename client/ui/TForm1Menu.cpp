// Main menu handlers of the screens and operations other areas build. Each stays empty until its area
// replaces the body here (or moves the handler into its own TForm1*.cpp file and deletes it here), so that
// no menu item leads to something that does not exist yet.
#include "data/Sql.h"
#include "ui/TForm1.h"
#include "ui/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm5.h"

#include <QTableView>

namespace kavrin {

// Streets. Closing the editor re-reads the register's street list; the grid shows the new names at once.
void TForm1::N4Click() {
    MainMenu1Change();
    if (TForm4* form = Screens::shared().Form4; form && !form->isVisible()) form->exec();
    if (cxGrid2) cxGrid2->viewport()->update();
}

// Channel table.
void TForm1::N5Click() {
    MainMenu1Change();
    if (TForm3* form = Screens::shared().Form3; form && !form->isVisible()) form->exec();
}

// Packages.
void TForm1::N3Click() {
    MainMenu1Change();
    if (TForm5* form = Screens::shared().Form5; form && !form->isVisible()) form->exec();
}

}  // namespace kavrin
