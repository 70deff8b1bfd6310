#ifndef TESTS_SUPPORT_RECORDINGPRESENTER_H
#define TESTS_SUPPORT_RECORDINGPRESENTER_H

#include <QObject>
#include <QString>
#include <QStringList>

namespace testsupport {

// A message presenter that records "caption: text" lines; registered while it exists.
class RecordingPresenter : public QObject
{
    Q_OBJECT

public:
    RecordingPresenter();
    ~RecordingPresenter() override;

    Q_INVOKABLE void present(const QString &text, const QString &caption);

    QStringList shown;
};

} // namespace testsupport

#endif
