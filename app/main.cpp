// The HXR Toolkit program: the main window over the shell, with the pages it has.

#include <QApplication>

#include "app/common/desktop/fonts.h"
#include "app/registerpages.h"
#include "app/shell/mainfrm.h"
#include "app/shell/messagefrm.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HXR Toolkit"));
    QApplication::setQuitOnLastWindowClosed(false); // the closing sequence ends the run

    // The two program fonts sit beside the program.
    app::common::desktop::LoadFonts(QCoreApplication::applicationDirPath());
    app::RegisterPages();

    app::shell::MainFrm window;
    app::shell::InstallMessageFrm(&window);
    if (!window.Load()) {
        app::common::desktop::UnloadFonts();
        return 1;
    }
    window.show();
    return app.exec();
}
