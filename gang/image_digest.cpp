#include "gang/image_digest.h"

// QCryptographicHash needs no application object, so the gang may use it before it forks.
#include <QCryptographicHash>

#include <fstream>

std::string Sha256OfImage(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return "";
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0)
        hash.addData(QByteArrayView(buffer, static_cast<qsizetype>(file.gcount())));
    return file.bad() ? "" : hash.result().toHex().toStdString();
}
