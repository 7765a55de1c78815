// The window tests share one widget application on the offscreen platform,
// with the settings file in a scratch folder that is the current folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtGlobal>
#include <memory>

namespace {

class WidgetsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_folder = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(m_folder->path());
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override {
        m_app.reset();
        m_folder.reset();
    }

private:
    int m_argc = 1;
    char m_name[16] = "app_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new WidgetsEnvironment);

} // namespace
