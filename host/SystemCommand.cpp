// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/SystemCommand.h"

#include <csignal>
#include <unistd.h>

using namespace Qt::StringLiterals;

SystemCommand::SystemCommand(const QString &command, const QString &workingDirectory, QObject *parent)
    : QObject(parent)
    , m_command(command)
{
    m_process.setWorkingDirectory(workingDirectory);
    connect(&m_process, &QProcess::readyReadStandardOutput, this, [this] { readChannel(QProcess::StandardOutput); });
    connect(&m_process, &QProcess::readyReadStandardError, this, [this] { readChannel(QProcess::StandardError); });
    connect(&m_process, &QProcess::finished, this, &SystemCommand::end);
    connect(&m_process, &QProcess::errorOccurred, this, &SystemCommand::failedToStart);
    // The shell leads a process group of its own, so that what it started
    // (a command in the background, a pipeline) ends with it.
    m_process.setChildProcessModifier([] { ::setpgid(0, 0); });
}

// Ended here, while the members still exist: left to its own destructor, the
// process would warn and report its end to a command half destroyed.
SystemCommand::~SystemCommand()
{
    m_process.disconnect(this);
    cancel();
    m_process.waitForFinished();
}

void SystemCommand::start()
{
    m_process.start(u"/bin/sh"_s, {u"-c"_s, m_command});
}

void SystemCommand::write(const QString &text)
{
    m_process.write(text.toUtf8());
}

void SystemCommand::closeInput()
{
    m_process.closeWriteChannel();
}

void SystemCommand::cancel()
{
    if (m_process.processId() > 0)
        ::kill(-pid_t(m_process.processId()), SIGKILL);
    m_process.kill();
}

// A stream the command wrote nothing on is left out, so that the page reads
// it as undefined: widgets of the era test it against null.
QJsonObject SystemCommand::result() const
{
    QJsonObject result{{u"status"_s, m_status}};
    if (!m_output.text.isEmpty())
        result.insert(u"outputString"_s, m_output.text);
    if (!m_error.text.isEmpty())
        result.insert(u"errorString"_s, m_error.text);
    return result;
}

void SystemCommand::readChannel(QProcess::ProcessChannel channel)
{
    Stream &stream = channel == QProcess::StandardOutput ? m_output : m_error;
    m_process.setReadChannel(channel);
    const QString text = stream.decoder.decode(m_process.readAll());
    if (text.isEmpty())
        return;
    stream.text += text;
    emit read(channel, text);
}

void SystemCommand::end()
{
    readChannel(QProcess::StandardOutput);
    readChannel(QProcess::StandardError);
    if (m_process.exitStatus() == QProcess::NormalExit)
        m_status = m_process.exitCode();
    emit finished();
}

// Other errors (a crash, a failed write) are followed by finished() anyway.
void SystemCommand::failedToStart(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart)
        return;
    m_error.text = m_process.errorString();
    emit finished();
}
