#pragma once

#include <QLocale>
#include <QString>

namespace testing_support {

// The user's default locale while the object lives, as a user who set it would have it (Qt
// and its collator carry the locale data; no system locale need be installed).
class ScopedLocale {
  public:
    explicit ScopedLocale(const QString& name) : old_(QLocale()) {
        QLocale::setDefault(QLocale(name));
    }
    ~ScopedLocale() { QLocale::setDefault(old_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

  private:
    QLocale old_;
};

}  // namespace testing_support
