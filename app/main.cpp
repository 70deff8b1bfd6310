// The HXR Toolkit program: the main window over the shell, with the pages it has.

#include <QApplication>

#include "app/registerpages.h"
#include "app/shell/mainfrm.h"
#include "app/shell/programcontext.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HXR Toolkit"));
    QApplication::setQuitOnLastWindowClosed(false); // the closing sequence ends the run

    // Built before the window: the window and its pages use the program's state until they go.
    // The two program fonts sit beside the program.
    app::shell::ProgramContext context({.fontFolder = QCoreApplication::applicationDirPath(),
                                        .registerPages = &app::RegisterPages});

    app::shell::MainFrm window;
    context.useMessageForm(&window);
    if (!window.Load())
        return 1;
    window.show();
    return app.exec();
}
