#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <string>
#include <utility>
#include <vector>

// A desktop's language settings are read when a program starts, so a test of them runs one test
// of this suite again in a process of its own, started as a desktop would start it.
namespace kestrave::app::test {

// The variable that tells the child it was started this way (the suite's main leaves its
// locale alone then).
inline constexpr char kDesktopLocaleChild[] = "KESTRAVE_DESKTOP_LOCALE_CHILD";

struct ChildRun {
  int ExitCode = -1;
  std::string Output;
  // Ran to its end and passed: a child that skipped itself did not test anything.
  bool Passed() const {
    return ExitCode == 0 && Output.find("[  PASSED  ] 1 test") != std::string::npos;
  }
};

// Runs the test `name` ("Suite.Test") with the language settings ("LANG=ru_RU.UTF-8", ...)
// in place of this process's, and the given variables beside them.
inline ChildRun RunAsDesktopChild(const char* name, const QStringList& settings,
                                  const std::vector<std::pair<QString, QString>>& variables = {}) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* setting : {"LC_ALL", "LC_MESSAGES", "LANGUAGE", "LANG"})
    environment.remove(QString::fromLatin1(setting));
  for (const QString& setting : settings)
    environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
  environment.insert(QString::fromLatin1(kDesktopLocaleChild), QStringLiteral("1"));
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  for (const auto& [variable, value] : variables)
    environment.insert(variable, value);
  QProcess child;
  child.setProcessEnvironment(environment);
  child.setProcessChannelMode(QProcess::MergedChannels);
  child.start(QStringLiteral("/proc/self/exe"),
              {QStringLiteral("--gtest_filter=") + QString::fromLatin1(name)});
  ChildRun run;
  if (!child.waitForFinished(60000)) return run;
  run.ExitCode = child.exitCode();
  run.Output = QString::fromUtf8(child.readAll()).toStdString();
  return run;
}

}  // namespace kestrave::app::test
