#include "TextCodec.h"

#include <QStringDecoder>

#include <cerrno>
#include <iconv.h>

namespace {
const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf8Replacement("\xEF\xBF\xBD");

class IconvHandle
{
public:
    explicit IconvHandle(const char *from) : m_cd(iconv_open("UTF-8", from)) {}
    ~IconvHandle()
    {
        if (isOpen())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle &) = delete;
    IconvHandle &operator=(const IconvHandle &) = delete;

    bool isOpen() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd = reinterpret_cast<iconv_t>(-1);
};
// Half a surrogate pair, as a broken UTF-16 file has, is no character any file could store:
// written into a workbook it makes the whole sheet unreadable.
QString withWholeCharacters(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}
} // namespace

QString decodeCodePage(const QByteArray &bytes, const char *iconvName)
{
    IconvHandle cd(iconvName);
    if (!cd.isOpen())
        return QString::fromLatin1(bytes);

    QByteArray out;
    // Every code page iconv knows takes at most 4 UTF-8 bytes per input byte; the buffer still
    // grows on E2BIG should one not.
    out.resize(bytes.size() * 4 + 16);
    char *in = const_cast<char *>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char *outPtr = out.data();
    size_t outLeft = size_t(out.size());

    auto grow = [&]() {
        const qsizetype used = outPtr - out.data();
        out.resize(out.size() * 2);
        outPtr = out.data() + used;
        outLeft = size_t(out.size() - used);
    };
    auto append = [&](const QByteArray &text) {
        while (outLeft < size_t(text.size()))
            grow();
        memcpy(outPtr, text.constData(), size_t(text.size()));
        outPtr += text.size();
        outLeft -= size_t(text.size());
    };

    while (inLeft > 0) {
        if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            grow();
        } else if (errno == EILSEQ || errno == EINVAL) {
            // An undefined byte, or a multi-byte sequence cut off at the end: marked, not fatal.
            append(Utf8Replacement);
            ++in;
            --inLeft;
        } else {
            return QString::fromLatin1(bytes);
        }
    }
    // Stateful code pages may still owe a shift back to their initial state.
    while (iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft) == size_t(-1)) {
        if (errno != E2BIG)
            return QString::fromLatin1(bytes);
        grow();
    }
    out.truncate(outPtr - out.data());
    return QString::fromUtf8(out);
}

QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Stateless: an odd byte at the end is marked, not dropped.
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                          : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return withWholeCharacters(utf16.decode(QByteArrayView(bytes).sliced(2)));
    }
    const QByteArray body = bytes.startsWith(Utf8Bom) ? bytes.mid(Utf8Bom.size()) : bytes;
    // Stateless, so a sequence cut off at the very end counts as an error too: a Windows-1252
    // file may well end in "ß" or "ü".
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    return decodeCodePage(body, "WINDOWS-1252");
}

bool isPlainText(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r' && u != u'\f' && u != 0x1A)
            return false;
    }
    return true;
}
