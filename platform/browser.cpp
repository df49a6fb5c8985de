#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "cvirte.h"
#include "cvirte_testing.h"

namespace {

// A web address goes to the browser as it is; anything else is a local path, opened as a file
// URL so that a folder shows in the file manager.
int LaunchWithDesktop(const char* address) {
  const QString text = QString::fromUtf8(address);
  const QUrl asUrl(text, QUrl::StrictMode);
  const bool isWeb = asUrl.isValid() && (asUrl.scheme() == QLatin1String("http") ||
                                         asUrl.scheme() == QLatin1String("https") ||
                                         asUrl.scheme() == QLatin1String("file"));
  const QUrl url = isWeb ? asUrl : QUrl::fromLocalFile(text);
  return QDesktopServices::openUrl(url) ? 0 : -1;
}

cvirte_testing::BrowserLauncher launcher = LaunchWithDesktop;

}  // namespace

void cvirte_testing::SetBrowserLauncher(BrowserLauncher replacement) {
  launcher = replacement != nullptr ? replacement : LaunchWithDesktop;
}

int InetLaunchDefaultWebBrowser(const char* address) {
  if (address == nullptr || *address == 0) return -1;
  return launcher(address);
}
