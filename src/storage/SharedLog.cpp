#include "SharedLog.h"

#include "SharedFile.h"

bool SharedLog::append(const QStringList &lines) {
    m_kept << lines;
    if (m_kept.isEmpty())
        return true;
    if (!SharedFile::appendLines(m_path, m_kept))
        return false;
    m_kept.clear();
    return true;
}
