// SPDX-License-Identifier: GPL-2.0-or-later
#include "tests/host/TestBundle.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#ifndef QUILLET_HOST
#error "QUILLET_HOST must name the built quillet-host program"
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int StartTimeout = 30000;

// The host's log line for a widget it shows.
QString showing(const QString &bundle)
{
    return u"showing "_s + QFileInfo(bundle).canonicalFilePath();
}

} // namespace

/// The host program as users start it: one process per user, found again by
/// later starts, reporting through its log on standard output.
class tst_HostProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void laterStartsHandOverToTheRunningHost();
    void startWithoutBundlesExplainsItself();
    void startWithNothingToShowFails();

private:
    // A host process whose log is collected as it comes.
    QProcess *start(const QStringList &arguments, const QString &workingDirectory = QString());
    QStringList log(QProcess *host);

    std::unique_ptr<QTemporaryDir> m_dir;
    // Keeps the hosts of a test apart from any other host of the same user.
    std::unique_ptr<QTemporaryDir> m_runtime;
    QList<QProcess *> m_processes;
    QHash<QProcess *, QByteArray> m_output;
};

void tst_HostProcess::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_runtime = std::make_unique<QTemporaryDir>();
}

void tst_HostProcess::cleanup()
{
    for (QProcess *process : std::as_const(m_processes)) {
        process->kill();
        process->waitForFinished();
    }
    qDeleteAll(std::exchange(m_processes, {}));
    m_output.clear();
    m_runtime.reset();
    m_dir.reset();
}

QProcess *tst_HostProcess::start(const QStringList &arguments, const QString &workingDirectory)
{
    auto *process = new QProcess;
    m_processes.append(process);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_RUNTIME_DIR"_s, m_runtime->path());
    process->setProcessEnvironment(environment);
    process->setWorkingDirectory(workingDirectory.isEmpty() ? m_dir->path() : workingDirectory);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    connect(process, &QProcess::readyReadStandardOutput, this,
            [this, process] { m_output[process] += process->readAllStandardOutput(); });
    process->start(QStringLiteral(QUILLET_HOST), arguments);
    return process;
}

QStringList tst_HostProcess::log(QProcess *host)
{
    return QString::fromUtf8(m_output.value(host)).split(u'\n', Qt::SkipEmptyParts);
}

void tst_HostProcess::laterStartsHandOverToTheRunningHost()
{
    const QString first = TestBundle::write(m_dir->filePath(u"First.wdgt"_s),
                                            QSize(200, 100), u"First"_s);
    const QString second = TestBundle::write(m_dir->filePath(u"Second Widget.wdgt"_s),
                                             QSize(150, 90), u"Second"_s);
    QProcess *host = start({first});
    QTRY_COMPARE_WITH_TIMEOUT(log(host), QStringList{showing(first)}, StartTimeout);

    // Named relatively: the running host has to find it all the same.
    QProcess *later = start({u"Second Widget.wdgt"_s}, m_dir->path());
    QVERIFY(later->waitForFinished(StartTimeout));
    QCOMPARE(later->exitStatus(), QProcess::NormalExit);
    QCOMPARE(later->exitCode(), 0);
    QVERIFY(log(later).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(log(host).size(), 2, StartTimeout);
    QCOMPARE(log(host).last(), showing(second));

    QProcess *again = start({first});
    QVERIFY(again->waitForFinished(StartTimeout));
    QCOMPARE(again->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(log(host).size(), 3, StartTimeout);
    QCOMPARE(log(host).last(), showing(first));
    QCOMPARE(host->state(), QProcess::Running);
}

void tst_HostProcess::startWithoutBundlesExplainsItself()
{
    QProcess *host = start({});
    QVERIFY(host->waitForFinished(StartTimeout));
    QCOMPARE(host->exitCode(), 2);
    QVERIFY(host->readAllStandardError().contains("usage: quillet-host"));
}

void tst_HostProcess::startWithNothingToShowFails()
{
    QProcess *host = start({m_dir->filePath(u"Missing.wdgt"_s)});
    QVERIFY(host->waitForFinished(StartTimeout));
    QCOMPARE(host->exitCode(), 1);
    QVERIFY(log(host).isEmpty());
    QVERIFY(host->readAllStandardError().contains("not a widget bundle"));
}

QTEST_GUILESS_MAIN(tst_HostProcess)
#include "tst_HostProcess.moc"
