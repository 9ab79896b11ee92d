// The client: one running copy per machine, the twelve screens created in order, the main window shown.
#include "app/KavrinApplication.h"
#include "startup/SingleInstance.h"
#include "ui/TForm1.h"
#include "ui/TForm10.h"
#include "ui/TForm11.h"
#include "ui/TForm12.h"
#include "ui/TForm2.h"
#include "ui/TForm3.h"
#include "ui/TForm4.h"
#include "ui/TForm5.h"
#include "ui/TForm6.h"
#include "ui/TForm7.h"
#include "ui/TForm8.h"
#include "ui/TForm9.h"

#include <memory>

int main(int argc, char** argv) {
    kavrin::KavrinApplication app(argc, argv);
    const kavrin::SingleInstance instance;
    if (!kavrin::admitThisCopy(instance)) return 0;

    kavrin::Screens& s = kavrin::Screens::shared();
    auto form1 = std::make_unique<kavrin::TForm1>();
    s.Form1 = form1.get();
    // The other screens belong to the main window and go with it.
    s.Form2 = new kavrin::TForm2(s.Form1);
    s.Form3 = new kavrin::TForm3(s.Form1);
    s.Form4 = new kavrin::TForm4(s.Form1);
    s.Form5 = new kavrin::TForm5(s.Form1);
    s.Form6 = new kavrin::TForm6(s.Form1);
    s.Form7 = new kavrin::TForm7(s.Form1);
    s.Form8 = new kavrin::TForm8(s.Form1);
    s.Form9 = new kavrin::TForm9(s.Form1);
    s.Form10 = new kavrin::TForm10(s.Form1);
    s.Form11 = new kavrin::TForm11(s.Form1);
    s.Form12 = new kavrin::TForm12(s.Form1);

    s.Form1->show();
    const int rc = app.exec();
    s = kavrin::Screens();
    return rc;
}
