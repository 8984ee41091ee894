#include "Burrowlight/Core/Texts/StorageTexts.h"

#include "Burrowlight/Core/Cases.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace burrowlight::texts {

namespace {

struct FileWords {
    Q_DECLARE_TR_FUNCTIONS(FileError)
};
struct DecodingWords {
    Q_DECLARE_TR_FUNCTIONS(DecodingError)
};
struct SystemWords {
    Q_DECLARE_TR_FUNCTIONS(SystemError)
};

QString reason(const tunnelkit::FileError& error) {
    using K = tunnelkit::FileError::Kind;
    switch (error.kind) {
    case K::notRegularFile:
        return FileWords::tr("it isn't a regular file");
    case K::tooLarge:
        return FileWords::tr("it is larger than %1 MB").arg(tunnelkit::maximumFileSize / (1024 * 1024));
    case K::system:
        break;
    }
    return systemReason(error.code);
}

} // namespace

QString systemReason(int code) {
    switch (code) {
    case ENOENT:
        return SystemWords::tr("no such file or folder");
    case EACCES:
    case EPERM:
        return SystemWords::tr("permission denied");
    case ENOSPC:
    case EDQUOT:
        return SystemWords::tr("the disk is full");
    case EROFS:
        return SystemWords::tr("the disk is read-only");
    case ENOTDIR:
        return SystemWords::tr("a part of the path isn't a folder");
    case EISDIR:
        return SystemWords::tr("it is a folder");
    case ENAMETOOLONG:
        return SystemWords::tr("the name is too long");
    case ELOOP:
        return SystemWords::tr("too many symbolic links");
    case EMFILE:
    case ENFILE:
        return SystemWords::tr("too many open files");
    case ENOMEM:
        return SystemWords::tr("not enough memory");
    case EIO:
        return SystemWords::tr("input/output error");
    case EAGAIN:
        return SystemWords::tr("the system is busy, try again");
    case ENOEXEC:
        return SystemWords::tr("it isn't a program this system can run");
    default:
        // No wording of ours: the system's name for it, which a search finds.
        return SystemWords::tr("system error %1 (%2)")
            .arg(code)
            .arg(QString::fromUtf8(strerrorname_np(code)));
    }
}

QString message(const tunnelkit::FileError& error) {
    using O = tunnelkit::FileError::Operation;
    const QString path = QString::fromStdString(error.path);
    const QString why = reason(error);
    switch (error.operation) {
    case O::read:
        return FileWords::tr("“%1” couldn't be read: %2.").arg(path, why);
    case O::createFolder:
        return FileWords::tr("The folder “%1” couldn't be created: %2.").arg(path, why);
    case O::write:
        return FileWords::tr("“%1” couldn't be written: %2.").arg(path, why);
    case O::rename:
        return FileWords::tr("“%1” couldn't be replaced: %2.").arg(path, why);
    }
    return path;
}

QString message(const tunnelkit::DecodingError& error) {
    using P = tunnelkit::DecodingError::Problem;
    const QString where = QString::fromStdString(error.codingPath);
    const auto at = [&](const QString& text) {
        return where.isEmpty() ? text : DecodingWords::tr("%1 (at %2)").arg(text, where);
    };
    switch (error.problem) {
    case P::notJSON:
        return DecodingWords::tr("The file isn't in the expected format.");
    case P::missingKey:
        return at(DecodingWords::tr("A value is missing."));
    case P::nullValue:
        return at(DecodingWords::tr("A value is empty."));
    case P::wrongType:
        return at(DecodingWords::tr("A value has the wrong type."));
    case P::endpointKeyCount:
        return at(DecodingWords::tr("An address must be either a port or a socket."));
    case P::numberOutOfRange:
        return at(DecodingWords::tr("A number is out of range."));
    case P::notWholeNumber:
        return at(DecodingWords::tr("A number must be a whole number."));
    case P::invalidUUID:
        return at(DecodingWords::tr("An identifier isn't valid."));
    case P::invalidDate:
        return at(DecodingWords::tr("A date isn't valid."));
    case P::unknownForwardKind:
        return at(DecodingWords::tr("A forward has an unknown kind."));
    case P::notAnArchive:
        return DecodingWords::tr("It isn't a Burrowlight file.");
    }
    return where;
}

QString message(const tunnelkit::StoreError& error) {
    return std::visit([](const auto& alternative) { return message(alternative); }, error);
}

QString message(const tunnelkit::LaunchError& error) {
    return systemReason(error.code);
}

} // namespace burrowlight::texts
