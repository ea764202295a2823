#include "project/target/PackageInstallerVersion.h"

#include <QFile>

#include <libmsi.h>

#include <memory>

namespace pw {
namespace {

// The page count's property: summary information's PID_PAGECOUNT, which libmsi names after its meaning in
// a package.
constexpr LibmsiProperty kPageCount = LIBMSI_PROPERTY_VERSION;

struct GObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

}  // namespace

std::optional<int> PackageInstallerVersion(const QString& path)
{
    GError* error = nullptr;
    const std::unique_ptr<LibmsiDatabase, GObjectUnref> database(
        libmsi_database_new(QFile::encodeName(path).constData(), LIBMSI_DB_FLAGS_READONLY, nullptr, &error));
    if (!database) {
        g_clear_error(&error);
        return std::nullopt;
    }
    const std::unique_ptr<LibmsiSummaryInfo, GObjectUnref> summary(libmsi_summary_info_new(database.get(), 0, &error));
    if (!summary ||
        libmsi_summary_info_get_property_type(summary.get(), kPageCount, &error) != LIBMSI_PROPERTY_TYPE_INT) {
        g_clear_error(&error);
        return std::nullopt;
    }
    const int version = libmsi_summary_info_get_int(summary.get(), kPageCount, &error);
    if (error) {
        g_clear_error(&error);
        return std::nullopt;
    }
    return version;
}

}  // namespace pw
