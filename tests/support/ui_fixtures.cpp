#include "support/ui_fixtures.h"

#include <cstdlib>

namespace cw::test {

FormFixture::FormFixture(const std::string& settings, const QStringList& arguments)
    : FormFixture(
          [&settings](const TempDir& dir) {
              if (!settings.empty()) dir.write("conf.properties", settings);
          },
          arguments)
{
}

FormFixture::FormFixture(const std::function<void(const TempDir&)>& prepare, const QStringList& arguments)
{
    ::setenv("CLIPWRIGHT_HOME", home.path().c_str(), 1);
    ::setenv("XDG_STATE_HOME", home.file("state").c_str(), 1);
    prepare(home);
    form = std::make_unique<Form1>(QStringList{QStringLiteral("clipwright")} + arguments);
}

FormFixture::~FormFixture()
{
    form.reset();
    ::unsetenv("CLIPWRIGHT_HOME");
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace cw::test
