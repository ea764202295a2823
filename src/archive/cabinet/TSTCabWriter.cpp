#include "archive/cabinet/TSTCabWriter.h"

#include "archive/cabinet/CabinetCallbacks.h"
#include "archive/cabinet/CabinetLibrary.h"
#include "archive/cabinet/ESTCabinet.h"
#include "platform/FileNames.h"
#include "platform/FileSearch.h"
#include "platform/FolderWalk.h"
#include "platform/PartialFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace pw {
namespace {

template <std::size_t N>
bool CopyText(char (&out)[N], const QByteArray& text)
{
    if (text.size() >= qsizetype(N) || text.contains('\0'))
        return false;
    std::memcpy(out, text.constData(), size_t(text.size()) + 1);
    return true;
}

QString WithTrailingSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QString Numbered(QString text, int number)
{
    return text.replace(QLatin1Char('*'), QString::number(number));
}

}  // namespace

TSTCabWriter::TSTCabWriter()
{
    SetCompressionType(compressionType_);
}

TSTCabWriter::~TSTCabWriter()
{
    try {
        CloseCabinet(false);
    } catch (const std::exception&) {
        // The context is forgotten all the same; nothing is left to release.
    }
}

void TSTCabWriter::SetCompressionType(TSTCabCompressionType type)
{
    compressionType_ = type;
    switch (type) {
    case TSTCabCompressionType::cctNone:
        compressionCode_ = tcompTYPE_NONE;
        return;
    case TSTCabCompressionType::cctMsZip:
        compressionCode_ = tcompTYPE_MSZIP;
        return;
    case TSTCabCompressionType::cctLzx:
        compressionCode_ = static_cast<TCOMP>(lzxLevel_ * 256 + tcompTYPE_LZX);
        return;
    }
    compressionCode_ = tcompBAD;
}

void TSTCabWriter::SetCompressionLzxLevel(int level)
{
    lzxLevel_ = std::clamp(level, 15, 21);
    SetCompressionType(compressionType_);
}

void TSTCabWriter::OpenCabinet(const QString& fileName)
{
    CloseCabinet(false);
    DropSet();  // what a failed FCICreate left
    cabinetFile_ = QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(fileName));
    erf_ = {};
    ccab_ = {};
    ccab_.cb = CabinetSizeThreshold ? CabinetSizeThreshold : CB_MAX_DISK;
    ccab_.cbFolderThresh = FolderSizeThreshold ? FolderSizeThreshold : CB_MAX_DISK;
    ccab_.cbReserveCFHeader = ReservePerCabinetSize;
    ccab_.cbReserveCFFolder = ReservePerFolderSize;
    ccab_.cbReserveCFData = ReservePerDataSize;
    ccab_.iCab = 0;
    ccab_.iDisk = 1;
    ccab_.fFailOnIncompressible = 0;
    ccab_.setID = SetID;
    const QString folder = cabinetFile_.left(cabinetFile_.lastIndexOf(QLatin1Char('/')) + 1);
    // A name the record cannot hold would be cut short and the cabinet written somewhere else.
    if (!CopyText(ccab_.szDisk, CabinetDiskLabel(1).toUtf8()) ||
        !CopyText(ccab_.szCab, QFile::encodeName(FileNamePart(cabinetFile_))) ||
        !CopyText(ccab_.szCabPath, QFile::encodeName(folder)))
        throw CannotCreateFile(cabinetFile_, SystemErrorText(ENAMETOOLONG));
    if (OnGetNextCabinet) {
        bool abort = false;
        OnGetNextCabinet(*this, ccab_, 0, abort);
        if (abort)
            return;
    }
    const QByteArray path = QFile::encodeName(WithTrailingSlash(QFile::decodeName(ccab_.szCabPath)));
    if (!CopyText(ccab_.szCabPath, path))
        throw CannotCreateFile(cabinetFile_, SystemErrorText(ENAMETOOLONG));
    BeginCabinetFile(ccab_);
    filesInCabinet_ = filesInFolder_ = 0;
    progressCountdown_ = 0;
    context_ = CabinetLibrary::FCICreate(&erf_, FilePlaced, FciAlloc, FciFree, OpenFile, FciRead, FciWrite, FciClose,
                                         FciSeek, DeleteFile, TempFile, &ccab_, this);
    if (!context_)
        RaiseError();
}

void TSTCabWriter::AddFile(const QString& source, const QString& name, bool execute)
{
    if (OnBeforeFileAdd) {
        bool skip = false;
        OnBeforeFileAdd(*this, source, skip);
        if (skip)
            return;
    }
    if (CabinetFileCountThreshold != 0 && filesInCabinet_ >= CabinetFileCountThreshold)
        FlushCabinet();
    else if (FolderFileCountThreshold != 0 && filesInFolder_ >= FolderFileCountThreshold)
        FlushFolder();
    const QString inside = name.startsWith(QLatin1Char('\\')) ? name.mid(1) : name;
    QByteArray sourceBytes = QFile::encodeName(source);
    QByteArray nameBytes = inside.toUtf8();
    if (!CabinetLibrary::FCIAddFile(RequireContext(), sourceBytes.data(), nameBytes.data(), execute ? 1 : 0,
                                    NextCabinet, Status, FciGetOpenInfo, compressionCode_))
        throw ESTCabinet(erf_, source);
    ++filesInCabinet_;
    ++filesInFolder_;
}

void TSTCabWriter::AddFiles(const QString& mask, const QString& prefix, bool recursive)
{
    QString folder;
    QString pattern;
    SplitMask(mask, &folder, &pattern);
    bool stopped = false;
    WalkRules rules;
    rules.takesFile = [&pattern](const QString& name) { return WildcardMatch(pattern, name); };
    rules.recursive = recursive;
    rules.filesFirst = true;
    rules.cancelled = [&stopped] { return stopped; };
    rules.pump = [this, &stopped] { stopped = !Wait(); };
    WalkFolder(folder, rules, [&](const WalkEntry& entry) {
        if (entry.info.isDirectory())
            return;
        const QString inside = entry.path.mid(folder.size()).replace(QLatin1Char('/'), QLatin1Char('\\'));
        AddFile(entry.path, JoinPath(prefix, inside, QLatin1Char('\\')), false);
    });
    if (stopped)
        throw ESTCabinet(ERF{FCIERR_USER_ABORT, 0, 1});
}

void TSTCabWriter::FlushCabinet()
{
    if (!CabinetLibrary::FCIFlushCabinet(RequireContext(), 1, NextCabinet, Status))
        RaiseError();
    filesInCabinet_ = filesInFolder_ = 0;
}

void TSTCabWriter::FlushFolder()
{
    if (!CabinetLibrary::FCIFlushFolder(RequireContext(), NextCabinet, Status))
        RaiseError();
    filesInFolder_ = 0;
}

void TSTCabWriter::CloseCabinet(bool flush)
{
    if (!context_)
        return;
    if (flush) {
        // On failure the context stays open, to be dropped with its set by the next OpenCabinet,
        // CloseCabinet (flush = false) or the destructor.
        if (!CabinetLibrary::FCIFlushCabinet(context_, 0, NextCabinet, Status))
            RaiseError();
        filesInCabinet_ = filesInFolder_ = 0;
    }
    const HFCI context = context_;
    context_ = nullptr;
    const bool destroyed = CabinetLibrary::FCIDestroy(context);
    if (flush && destroyed)
        GiveSetItsNames();
    else
        DropSet();
    if (!destroyed)
        RaiseError();
}

void TSTCabWriter::BeginCabinetFile(const CCAB& ccab)
{
    const QString folder = QFile::decodeName(ccab.szCabPath);
    QDir().mkpath(folder);
    const QByteArray name = QByteArray(ccab.szCabPath) + ccab.szCab;
    const QByteArray partial = QFile::encodeName(PartialFileName(QFile::decodeName(name)));
    QFile::remove(QFile::decodeName(partial));
    set_.append({name, partial});
}

QByteArray TSTCabWriter::WrittenName(const char* path) const
{
    for (const SetFile& file : set_) {
        if (file.name == path)
            return file.partial;
    }
    return path;
}

void TSTCabWriter::GiveSetItsNames()
{
    const QList<SetFile> set = std::exchange(set_, {});
    for (qsizetype i = 0; i < set.size(); ++i) {
        if (!QFile::exists(QFile::decodeName(set[i].partial)))
            continue;  // nothing was added: the Cabinet API writes no empty cabinet
        try {
            GivePartialFileItsName(QFile::decodeName(set[i].partial), QFile::decodeName(set[i].name));
        } catch (...) {
            for (qsizetype j = i + 1; j < set.size(); ++j)
                QFile::remove(QFile::decodeName(set[j].partial));
            throw;
        }
    }
}

void TSTCabWriter::DropSet()
{
    for (const SetFile& file : std::exchange(set_, {}))
        QFile::remove(QFile::decodeName(file.partial));
}

bool TSTCabWriter::Wait()
{
    bool abort = false;
    if (OnWaiting && waitPacer_.Due())
        OnWaiting(*this, abort);
    return !abort;
}

QString TSTCabWriter::CabinetFileNameFor(int cabinet) const
{
    QString name = CabinetNameTemplate;
    if (name.isEmpty()) {
        name = FileNamePart(cabinetFile_);
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        name.insert(dot < 0 ? name.size() : dot, QLatin1Char('*'));
    }
    return Numbered(name, cabinet);
}

QString TSTCabWriter::CabinetPathFor(int disk) const
{
    QString path = CabinetPathTemplate;
    if (path.isEmpty())
        path = cabinetFile_.left(cabinetFile_.lastIndexOf(QLatin1Char('/')) + 1);
    return WithTrailingSlash(Numbered(path, disk));
}

QString TSTCabWriter::CabinetDiskLabel(int disk) const
{
    return Numbered(DiskLabelTemplate.isEmpty() ? QStringLiteral("Disk*") : DiskLabelTemplate, disk);
}

HFCI TSTCabWriter::RequireContext() const
{
    if (!context_)
        throw ESTCabinet(ERF{FCIERR_NONE, EINVAL, 1});
    return context_;
}

void TSTCabWriter::RaiseError() const
{
    throw ESTCabinet(erf_);
}

int TSTCabWriter::FilePlaced(PCCAB pccab, char* pszFile, LONG cbFile, BOOL fContinuation, void* pv)
{
    auto& writer = *static_cast<TSTCabWriter*>(pv);
    bool abort = false;
    if (writer.OnFilePlaced)
        writer.OnFilePlaced(writer, *pccab, QString::fromUtf8(pszFile), cbFile, fContinuation != 0, abort);
    return abort ? -1 : 0;
}

BOOL TSTCabWriter::NextCabinet(PCCAB pccab, ULONG cbPrevCab, void* pv)
{
    auto& writer = *static_cast<TSTCabWriter*>(pv);
    ++pccab->iDisk;
    if (!CopyText(pccab->szDisk, writer.CabinetDiskLabel(pccab->iDisk).toUtf8()) ||
        !CopyText(pccab->szCab, QFile::encodeName(writer.CabinetFileNameFor(pccab->iCab))) ||
        !CopyText(pccab->szCabPath, QFile::encodeName(writer.CabinetPathFor(pccab->iDisk))))
        return 0;
    bool abort = false;
    if (writer.OnGetNextCabinet)
        writer.OnGetNextCabinet(writer, *pccab, cbPrevCab, abort);
    if (!abort)
        writer.BeginCabinetFile(*pccab);
    writer.filesInCabinet_ = writer.filesInFolder_ = 0;
    return abort ? 0 : 1;
}

LONG TSTCabWriter::Status(UINT typeStatus, ULONG cb1, ULONG cb2, void* pv)
{
    auto& writer = *static_cast<TSTCabWriter*>(pv);
    bool abort = false;
    LONG result = 0;
    switch (typeStatus) {
    case statusFile:
        if (writer.OnFileStatus)
            writer.OnFileStatus(writer, cb1, cb2, abort);
        // Progress is reported on the second block and then on every ninth, not on each one.
        if (writer.progressCountdown_ < 0 && writer.OnProgress && !abort) {
            writer.OnProgress(writer, abort);
            writer.progressCountdown_ = 8;
        }
        --writer.progressCountdown_;
        break;
    case statusFolder:
        if (writer.OnFolderStatus)
            writer.OnFolderStatus(writer, cb1, cb2, abort);
        writer.filesInFolder_ = 0;
        break;
    case statusCabinet: {
        quint32 desired = 0;
        if (writer.OnCabinetStatus)
            writer.OnCabinetStatus(writer, cb1, cb2, desired, abort);
        writer.filesInCabinet_ = writer.filesInFolder_ = 0;
        result = static_cast<LONG>(desired);
        break;
    }
    default:
        break;
    }
    if (!abort && !writer.Wait())
        abort = true;
    return abort ? -1 : result;
}

INT_PTR TSTCabWriter::OpenFile(char* pszFile, int oflag, int pmode, int* err, void* pv)
{
    QByteArray path = static_cast<TSTCabWriter*>(pv)->WrittenName(pszFile);
    return FciOpen(path.data(), oflag, pmode, err, pv);
}

int TSTCabWriter::DeleteFile(char* pszFile, int* err, void* pv)
{
    QByteArray path = static_cast<TSTCabWriter*>(pv)->WrittenName(pszFile);
    return FciDelete(path.data(), err, pv);
}

BOOL TSTCabWriter::TempFile(char* pszTempName, int cbTempName, void* pv)
{
    const QString& folder = static_cast<TSTCabWriter*>(pv)->TemporaryFolder;
    if (folder.isEmpty())
        return FciGetTempFile(pszTempName, cbTempName, pv);
    return TempFileNameIn(QFile::encodeName(folder), pszTempName, cbTempName);
}

}  // namespace pw
