#pragma once

#include "MessageBoxes.h"

#include <QApplication>
#include <QSettings>
#include <QStyleFactory>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

// The application of every benchmark: offscreen and silent, drawn with the real program's style,
// and with a settings store of its own, so the window neither reads nor overwrites the user's.
class BenchApplication
{
public:
    BenchApplication(int &argc, char **argv)
        : m_environment(prepareEnvironment()), m_app(argc, argv)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_settings.path());
        // Other styles paint the buttons at other costs.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }

private:
    static bool prepareEnvironment()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // No cue is measured, and a sound device must not be opened by accident.
        qputenv("QT_AUDIO_BACKEND", "none");
        return true;
    }

    bool m_environment = false;
    QApplication m_app;
    QTemporaryDir m_settings;
};

// The window's messages go to the terminal instead of waiting for an operator.
class SilentBoxes : public MessageBoxes
{
public:
    void error(QWidget *, const QString &text) override
    {
        std::fprintf(stderr, "error: %s\n", qPrintable(text));
    }
};

inline double processCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

inline double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
