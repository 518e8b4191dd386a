#include "module1.h"

#include "startup/indexes.h"
#include "platform/form.h"
#include "platform/runtime.h"
#include "signin/frmLogin.h"

#include <QCoreApplication>
#include <QFont>
#include <QSettings>

#include <iostream>
#include <memory>

namespace Module1 {

namespace {
std::unique_ptr<plat::Database> gConnection;
Workspace gWorkspace;

// On Windows the data-source entries live in the registry; here in an INI file
// of the user's configuration folder, with the same keys and values.
#define PEMU_DATA_SOURCES(s) \
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("ODBC"), QStringLiteral("ODBC.INI"))
}  // namespace

bool RegisterDataSource(const QString& databasePath) {
    PEMU_DATA_SOURCES(s);
    if (!s.isWritable()) return false;
    const QString key = QString::fromLatin1(kDataSource);
    s.beginGroup(key);
    s.setValue("DBQ", databasePath);
    s.setValue("Description", kDescription);
    s.setValue("Driver", kDriverFile);
    s.setValue("DriverID", 25);
    s.setValue("FIL", "MS Access");
    s.setValue("PWD", "");
    s.setValue("SafeTransactions", 0);
    s.setValue("UID", kUser);
    s.beginGroup("Engines/Jet");
    s.setValue("ImplicitCommitSync", "");
    s.setValue("MaxBufferSize", 2048);
    s.setValue("PageTimeout", 5);
    s.setValue("Threads", 3);
    s.setValue("UserCommitSync", "Yes");
    s.endGroup();
    s.endGroup();
    s.beginGroup("ODBC Data Sources");
    s.setValue(key, kDriverName);
    s.endGroup();
    s.sync();
    return s.status() == QSettings::NoError;
}

QString DataSourcePath() {
    PEMU_DATA_SOURCES(s);
    return s.value(QString::fromLatin1(kDataSource) + "/DBQ").toString();
}

int Main() {
    // The designed typefaces, with metric-compatible stand-ins where they are missing.
    plat::InstallDesignFonts();

    const QString dbPath = QString::fromStdString((plat::AppPath() / kDatabaseFile).string());
    // The entry is written for other programs that look the data source up; the
    // program itself can do without it, so a configuration folder that cannot be
    // written is mentioned and the program folder's database opened all the same.
    QString connectPath = dbPath;
    if (!RegisterDataSource(dbPath)) {
        std::cerr << "pemu: the data-source entry could not be written to "
                  << QSettings(QSettings::IniFormat, QSettings::UserScope, "ODBC", "ODBC.INI").fileName().toStdString()
                  << "; opening " << dbPath.toStdString() << " directly.\n";
    } else if (!DataSourcePath().isEmpty()) {
        connectPath = DataSourcePath();
    }

    // Windows still loaded when the program ends go with the application.
    static bool discardOnQuit = false;
    if (!discardOnQuit && QCoreApplication::instance()) {
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit,
                         [] { plat::Form::DiscardAll(); });
        discardOnQuit = true;
    }

    gWorkspace = {kWorkspaceName, kUser};
    gwsODBC = &gWorkspace;

    try {
        Connect(connectPath);
        frmLogin.Show();
    } catch (const std::exception& e) {
        plat::MsgBox(QStringLiteral("The program cannot start.\n\n") + QString::fromStdString(e.what()),
                     plat::vbCritical);
        return 1;
    }
    return 0;
}

void Connect(const QString& databasePath) {
    gcnExam = nullptr;
    auto connection = std::make_unique<plat::Database>(plat::Database::Open(databasePath.toStdString()));
    indexes::Ensure(*connection);  // a database made before an index was added gains it
    gConnection = std::move(connection);
    gcnExam = gConnection.get();
}

void Disconnect() {
    gcnExam = nullptr;
    gConnection.reset();
}

}  // namespace Module1
