// Main menu handlers of the screens and operations other areas build. Each stays empty until its area
// replaces the body here (or moves the handler into its own TForm1*.cpp file and deletes it here), so that
// no menu item leads to something that does not exist yet.
#include "data/Sql.h"
#include "ui/TForm1.h"

namespace kavrin {

void TForm1::N4Click() {}       // streets
void TForm1::N5Click() {}       // channel table
void TForm1::N3Click() {}       // packages

}  // namespace kavrin
