#ifndef TESTS_SUPPORT_WARNINGRECORDER_H
#define TESTS_SUPPORT_WARNINGRECORDER_H

#include <QStringList>
#include <QtGlobal>

namespace testsupport {

// Records every qWarning of the running test while it lives, and puts the previous message
// handler back when it ends. One at a time: the handler is the process's.
class WarningRecorder
{
public:
    WarningRecorder() : previous_(qInstallMessageHandler(&WarningRecorder::record))
    {
        warnings().clear();
    }
    ~WarningRecorder() { qInstallMessageHandler(previous_); }
    WarningRecorder(const WarningRecorder &) = delete;
    WarningRecorder &operator=(const WarningRecorder &) = delete;

    const QStringList &recorded() const { return warnings(); }

private:
    static QStringList &warnings()
    {
        static QStringList list;
        return list;
    }
    static void record(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtWarningMsg)
            warnings() << message;
    }

    QtMessageHandler previous_;
};

} // namespace testsupport

#endif
