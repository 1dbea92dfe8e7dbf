// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QJsonObject>
#include <QObject>
#include <QProcess>
#include <QStringDecoder>

/// One shell command a widget runs through `widget.system`: `/bin/sh -c`
/// in the bundle folder, with the host's environment, its output collected
/// as it comes. The command dies with this object if it still runs then.
class SystemCommand : public QObject
{
    Q_OBJECT

public:
    SystemCommand(const QString &command, const QString &workingDirectory, QObject *parent = nullptr);
    ~SystemCommand() override;

    void start();
    /// Passes `text` to the command's standard input.
    void write(const QString &text);
    /// Ends the command's standard input.
    void closeInput();
    /// Kills the command and whatever it started; finished() still follows.
    void cancel();

    /// What the widget's command object holds once the command ended:
    /// `outputString`, `errorString` (each left out when the command wrote
    /// nothing there) and `status`, which is the exit code, or -1 for a
    /// command that could not start or did not exit by itself.
    QJsonObject result() const;

signals:
    /// New text on the command's standard output or standard error.
    void read(QProcess::ProcessChannel channel, const QString &text);
    /// The command ended, or never started; emitted once.
    void finished();

private:
    struct Stream
    {
        QStringDecoder decoder{QStringDecoder::Utf8};
        QString text;
    };

    void readChannel(QProcess::ProcessChannel channel);
    void end();
    void failedToStart(QProcess::ProcessError error);

    QProcess m_process;
    QString m_command;
    Stream m_output;
    Stream m_error;
    int m_status = -1;
};
