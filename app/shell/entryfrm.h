#ifndef APP_SHELL_ENTRYFRM_H
#define APP_SHELL_ENTRYFRM_H

#include <cstdint>

#include <QDialog>
#include <QPointer>
#include <QString>

#include "app/shell/dialogform.h"

class QLabel;

namespace app::controls {
class VXBtn;
}

namespace app::shell {

// The value entry dialog (with a range check) and the OK/Cancel question. The caller runs one
// of the two Init methods, shows the form modally (exec), reads Value and Cancelled, and
// destroys it.
class EntryFrm : public QDialog
{
    Q_OBJECT

public:
    explicit EntryFrm(QWidget *owner = nullptr);
    // Gives the current page its focus back.
    ~EntryFrm() override;

    void InitManual(const QString &Title, const QString &Description, const QString &Default,
                    const QString &Formatting, bool Numeric, const QString &Allowed, float Min,
                    float Max, int16_t Length);
    void InitOKCancel(const QString &Title, const QString &Description);

    // "-1" when cancelled, "1" for a confirmed question, else the entered value with "." as
    // its decimal separator ("" until the dialog is answered).
    QString Value() const { return value_; }
    // Whether the dialog was cancelled: an entered -1 is not a cancel.
    bool Cancelled() const { return cancelled_; }

    QLabel *lblTitle() const { return title_; }
    QLabel *lblDescription() const { return description_; }
    QWidget *ControlContainer() const { return container_; }
    controls::VXBtn *Manual() const { return manual_; }
    controls::VXBtn *btnOK() const { return ok_; }
    controls::VXBtn *btnCancel() const { return cancel_; }

    // The smallest font the entry field shrinks to when a long entry must fit.
    static constexpr double MinimumFieldPoints = 8.0;
    static constexpr int InnerWidthTwips = DialogWidthTwips;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut();
    void okAction();
    void cancelAction();
    void openEditor();
    // A text with "." as separator as a number: "" counts as 0; anything else must be a
    // number as a whole.
    static bool valueNumber(const QString &value, double &number);

    QLabel *title_ = nullptr;
    QLabel *description_ = nullptr;
    QWidget *container_ = nullptr;
    controls::VXBtn *manual_ = nullptr;
    controls::VXBtn *ok_ = nullptr;
    controls::VXBtn *cancel_ = nullptr;
    QPointer<QWidget> raiser_; // the control that had the focus: the form keeps clear of it

    QString value_;
    bool cancelled_ = false;
    QString formatting_;
    QString allowed_;
    bool numeric_ = false;
    float min_ = 0.0f;
    float max_ = 0.0f;
    int16_t mode_ = 0;
};

} // namespace app::shell

#endif
