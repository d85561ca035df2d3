#include "device/replyscanner.h"

void ReplyScanner::expect(const QStringList &codes)
{
    m_codes = codes;
    m_tail.clear();
    m_tailLength = 0;
    for (const QString &code : codes)
        m_tailLength = qMax(m_tailLength, code.size() - 1);
}

QString ReplyScanner::scan(const QString &chunkHex)
{
    const QString text = m_tail + chunkHex;
    m_tail = text.right(m_tailLength);
    for (const QString &code : qAsConst(m_codes)) {
        if (text.contains(code))
            return code;
    }
    return {};
}
