#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "data/database/database.h"
#include "data/entry/session.h"
#include "data/shell/startup.h"

namespace taktirio::data::testing {

inline QString U(const char* text) {
    return QString::fromUtf8(text);
}

inline QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fresh entry database in a temporary directory with the school registered
// and logged in.
class SchoolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("DATA2.sqlite"));
        db_.emplace(Database::Open(path_));
        RegisterSchool(db_->connection(), U("2ο Γυμνάσιο Πάτρας"), U("Γ. Παπαδόπουλος"));
        session_ = {db_->connection(), Login(db_->connection())};
    }

    void TearDown() override {
        session_ = {};
        db_.reset();
    }

  public:  // the cases of table-driven tests build schools through these
    QTemporaryDir dir_;
    QString path_;
    std::optional<Database> db_;
    Session session_;
};

}  // namespace taktirio::data::testing
