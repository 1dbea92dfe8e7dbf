// SPDX-License-Identifier: GPL-2.0-or-later
#include "host/SystemCommand.h"

using namespace Qt::StringLiterals;

SystemCommand::SystemCommand(const QString &command, const QString &workingDirectory,
                             QObject *parent)
    : QObject(parent)
    , m_command(command)
{
    m_process.setWorkingDirectory(workingDirectory);
    connect(&m_process, &QProcess::readyReadStandardOutput, this,
            [this] { readChannel(QProcess::StandardOutput); });
    connect(&m_process, &QProcess::readyReadStandardError, this,
            [this] { readChannel(QProcess::StandardError); });
    connect(&m_process, &QProcess::finished, this, &SystemCommand::end);
    connect(&m_process, &QProcess::errorOccurred, this, &SystemCommand::failedToStart);
}

// Ended here, while the members still exist: left to its own destructor, the
// process would warn and report its end to a command half destroyed.
SystemCommand::~SystemCommand()
{
    m_process.disconnect(this);
    m_process.kill();
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
    m_process.kill();
}

QJsonObject SystemCommand::result() const
{
    return {{u"outputString"_s, m_output.text},
            {u"errorString"_s, m_error.text},
            {u"status"_s, m_status}};
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
