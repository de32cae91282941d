#pragma once

// The converter's own texts, as the user sees them.
namespace kestrave::app::text {

inline constexpr char kTitle[] = "Kestrave";
inline constexpr char kOpenFile[] = "Открыть файл";
inline constexpr char kSaveAmr[] = "Сохранить AMR";
inline constexpr char kSaveWav[] = "Сохранить Wav";
inline constexpr char kAuthor[] = "Автор";
inline constexpr char kOk[] = "OK";
inline constexpr char kFoundPrefix[] = "Найдено ";
inline constexpr char kFoundSuffix[] = " записей";
inline constexpr char kNoRecords[] = "Звуковые записи не найдены";
inline constexpr char kNotWorkingYet[] = "Пока что не работает!";
inline constexpr char kOpenFilter[] = "*.drf|*.drf";
inline constexpr char kOpenDefaultExt[] = "*.drf";
inline constexpr char kSaveFilter[] = "*.amr|*.amr";
// The start of every AMR stream, and the content-type marker before each record.
inline constexpr char kAmrMagic[] = "#!AMR";
inline constexpr char kAmrMarker[] =
    "\x06\x1F\x22"
    "audio/amr";
inline constexpr char kScratchName[] = "temp.amr";
inline constexpr char kCannotOpenClipboard[] = "Cannot open clipboard";
inline constexpr char kRecordNotTransferred[] =
    "Запись %d не перенесена: буфер обмена не вернул её байты. Файл не записан.";
inline constexpr char kNotAnInteger[] = "'%s' is not a valid integer value";
inline constexpr char kNoRecordBase[] =
    "Не задано имя файлов записей: к пустому имени нечего добавить. Файлы не записаны.";
inline constexpr char kRecordOverContainer[] =
    "Файл %s — открытый контейнер, запись не может его заменить. Файлы не записаны.";
inline constexpr char kRecordOverInput[] =
    "Файл %s — один из файлов, которые читает эта команда, запись не может его заменить. Файлы "
    "не записаны.";

}  // namespace kestrave::app::text
