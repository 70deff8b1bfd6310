#ifndef APP_SHELL_MAINFRMUI_H
#define APP_SHELL_MAINFRMUI_H

#include <QString>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace app::controls {
class ButtonBar;
class VXBtn;
} // namespace app::controls

namespace app::shell {

class Panel;
struct Branding;

inline const QString DesignTitle = QStringLiteral("HXR Toolkit");

// The main window's controls: made, placed and coloured here, wired by the window. Every
// control is owned by the window through its Qt parent.
struct MainFrmUi
{
    app::controls::ButtonBar *buttonBar = nullptr;
    Panel *frameExt = nullptr;
    Panel *themes = nullptr;
    Panel *mainFrame = nullptr;
    Panel *mainHelp = nullptr;
    Panel *logoFrame = nullptr;
    Panel *infoFrame = nullptr;
    Panel *recordBlanker = nullptr;
    Panel *recordLed = nullptr;
    Panel *comms = nullptr;
    QPlainTextEdit *help = nullptr;
    QPlainTextEdit *extraInfo = nullptr;
    QPlainTextEdit *iconHelp = nullptr;
    QLabel *helpTitleLabel = nullptr;
    QLabel *infoLabel = nullptr;
    QLabel *versionLabel = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *largeLogo = nullptr;
    QLabel *smallLogo = nullptr;
    app::controls::VXBtn *btnErrorReset = nullptr;
    app::controls::VXBtn *recordMsg = nullptr;
    app::controls::VXBtn *recordCapture = nullptr;
    app::controls::VXBtn *resetCapture = nullptr;
    app::controls::VXBtn *buttonClose = nullptr;
    app::controls::VXBtn *buttonMin = nullptr;
    app::controls::VXBtn *buttonHelp = nullptr;
    QMenu *mnuHelp = nullptr;
    QAction *standardHelp = nullptr;
    QAction *advancedHelp = nullptr;

    void setupUi(QWidget *window);
    void layOut(int width, int height);
    // The title and version end where the page buttons begin, so that they never take the
    // clicks of the leftmost button (the factory page's, in factory mode).
    void fitTitleBesideButtons();
    // The logo frame sized to its logo at the bottom of the page area.
    void arrangeLogoFrame();
    // The colours, the title and the logos of the branding.
    void applyBranding(const Branding &b);
    void roundCorners();
};

} // namespace app::shell

#endif
