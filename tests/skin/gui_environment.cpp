// Icons, fonts and child processes want a Qt application object; the tests
// share one for their whole run (offscreen, no display needed).
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QtGlobal>
#include <memory>

namespace {

class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Nothing here draws on a screen; never depend on a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "skin_tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace
