<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>ByteValues</name>
    <message>
        <source>Unix time (32-bit)</source>
        <translation>Время Unix (32 бита)</translation>
    </message>
    <message>
        <source>Unix time (64-bit)</source>
        <translation>Время Unix (64 бита)</translation>
    </message>
    <message>
        <source>DOS date/time</source>
        <translation>Дата/время DOS</translation>
    </message>
    <message>
        <source>binary</source>
        <translation>двоичный</translation>
    </message>
</context>
<context>
    <name>CharacterSets</name>
    <message>
        <source>Dos 8 Bit</source>
        <translation>DOS (8 бит)</translation>
    </message>
    <message>
        <source>ASCII 7 Bit</source>
        <translation>ASCII (7 бит)</translation>
    </message>
    <message>
        <source>EBCDIC Codepage 38</source>
        <translation>EBCDIC (кодовая страница 38)</translation>
    </message>
    <message>
        <source>Custom Translation</source>
        <translation>Своя таблица</translation>
    </message>
</context>
<context>
    <name>EditorErrors</name>
    <message>
        <source>Data position/length out of data bounds</source>
        <translation>Позиция или длина выходит за границы данных</translation>
    </message>
    <message>
        <source>Out of memory while expanding memory stream</source>
        <translation>Не хватает памяти для увеличения буфера в памяти</translation>
    </message>
    <message>
        <source>Operation Cancelled</source>
        <translation>Операция отменена</translation>
    </message>
    <message>
        <source>Stream read error</source>
        <translation>Ошибка чтения потока</translation>
    </message>
    <message>
        <source>Stream write error</source>
        <translation>Ошибка записи потока</translation>
    </message>
    <message>
        <source>Cannot open %1.</source>
        <translation>Не удаётся открыть %1.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Не удаётся открыть файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Не удаётся создать файл «%1». %2</translation>
    </message>
    <message>
        <source>Cannot save readonly file %1.</source>
        <translation>Не удаётся сохранить файл %1: он только для чтения.</translation>
    </message>
    <message>
        <source>Cannot delete previous backup %1. (%2)</source>
        <translation>Не удаётся удалить прежнюю резервную копию %1. (%2)</translation>
    </message>
    <message>
        <source>Cannot create backup %1. (%2)</source>
        <translation>Не удаётся создать резервную копию %1. (%2)</translation>
    </message>
    <message>
        <source>Invalid selection start</source>
        <translation>Неверное начало выделения</translation>
    </message>
    <message>
        <source>Invalid selection end</source>
        <translation>Неверный конец выделения</translation>
    </message>
    <message>
        <source>BytesPerUnit must be set to 2 in unicode mode</source>
        <translation>В режиме Юникода в единице должно быть 2 байта</translation>
    </message>
    <message>
        <source>Translations cannot be used in unicode mode</source>
        <translation>В режиме Юникода перекодировки недоступны</translation>
    </message>
    <message>
        <source>Invalid bytes per line argument</source>
        <translation>Неверное число байтов в строке</translation>
    </message>
    <message>
        <source>Invalid bytes per column argument</source>
        <translation>Неверное число байтов в столбце</translation>
    </message>
    <message>
        <source>Cannot use unicode mode with odd-sized files</source>
        <translation>Режим Юникода недоступен для файлов нечётного размера</translation>
    </message>
    <message>
        <source>Invalid character %1, cannot convert using radix %2h</source>
        <translation>Неверный символ %1, перевод по основанию %2h невозможен</translation>
    </message>
    <message>
        <source>Cannot update undo storage</source>
        <translation>Не удаётся обновить историю отмены</translation>
    </message>
    <message>
        <source>Invalid bookmark index</source>
        <translation>Неверный номер закладки</translation>
    </message>
    <message>
        <source>Missing char in offset format: %1</source>
        <translation>В формате смещений не хватает символа: %1</translation>
    </message>
    <message>
        <source>Invalid radix in offset format (%1h), allowed: 02h..10h</source>
        <translation>Неверное основание в формате смещений (%1h), допустимо: 02h..10h</translation>
    </message>
    <message>
        <source>Invalid ruler bytes per unit value %1, allowed: -1,1,2,4,8</source>
        <translation>Неверное число байтов в единице линейки: %1, допустимо: -1,1,2,4,8</translation>
    </message>
    <message>
        <source>Invalid bookmark bitmap (must be 10 x 200 px)</source>
        <translation>Неверный рисунок закладок (нужен размером 10 x 200 пикселей)</translation>
    </message>
    <message>
        <source>Invalid bytes per unit value %1, allowed: 1,2,4,8</source>
        <translation>Неверное число байтов в единице: %1, допустимо: 1,2,4,8</translation>
    </message>
    <message>
        <source>Invalid font height %1, allowed: 1..1332</source>
        <translation>Неверная высота шрифта %1, допустимо: 1..1332</translation>
    </message>
    <message>
        <source>Out of memory</source>
        <translation>Не хватает памяти</translation>
    </message>
</context>
<context>
    <name>EditorTexts</name>
    <message>
        <source>Untitled</source>
        <translation>Без имени</translation>
    </message>
</context>
<context>
    <name>KeyHelp</name>
    <message>
        <source>copies the selection to the clipboard</source>
        <translation>копирует выделение в буфер обмена</translation>
    </message>
    <message>
        <source>cuts the selection to the clipboard</source>
        <translation>вырезает выделение в буфер обмена</translation>
    </message>
    <message>
        <source>deletes the selection or the unit at the caret, also in overwrite mode</source>
        <translation>удаляет выделение или элемент под курсором, также в режиме замены</translation>
    </message>
    <message>
        <source>goes to bookmark %1</source>
        <translation>переходит к закладке %1</translation>
    </message>
    <message>
        <source>held: the caret&apos;s moves extend the selection</source>
        <translation>пока нажата, перемещения курсора расширяют выделение</translation>
    </message>
    <message>
        <source>in insert mode deletes the selection or the unit at the caret</source>
        <translation>в режиме вставки удаляет выделение или элемент под курсором</translation>
    </message>
    <message>
        <source>in insert mode deletes the unit before the caret or the selection</source>
        <translation>в режиме вставки удаляет элемент перед курсором или выделение</translation>
    </message>
    <message>
        <source>in insert mode deletes the unit before the caret or the selection; otherwise moves the caret left</source>
        <translation>в режиме вставки удаляет элемент перед курсором или выделение; иначе сдвигает курсор влево</translation>
    </message>
    <message>
        <source>moves the caret one nibble left in the hex field, one character in the characters</source>
        <translation>перемещает курсор влево: на полубайт в шестнадцатеричном поле, на символ в поле символов</translation>
    </message>
    <message>
        <source>moves the caret one nibble right in the hex field, one character in the characters</source>
        <translation>перемещает курсор вправо: на полубайт в шестнадцатеричном поле, на символ в поле символов</translation>
    </message>
    <message>
        <source>moves the caret one page down</source>
        <translation>перемещает курсор на страницу вниз</translation>
    </message>
    <message>
        <source>moves the caret one page down, extending the selection</source>
        <translation>перемещает курсор на страницу вниз, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret one page up</source>
        <translation>перемещает курсор на страницу вверх</translation>
    </message>
    <message>
        <source>moves the caret one page up, extending the selection</source>
        <translation>перемещает курсор на страницу вверх, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret one row down</source>
        <translation>перемещает курсор на строку вниз</translation>
    </message>
    <message>
        <source>moves the caret one row down, extending the selection</source>
        <translation>перемещает курсор на строку вниз, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret one row up</source>
        <translation>перемещает курсор на строку вверх</translation>
    </message>
    <message>
        <source>moves the caret one row up, extending the selection</source>
        <translation>перемещает курсор на строку вверх, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the bottom row shown</source>
        <translation>перемещает курсор на нижнюю видимую строку</translation>
    </message>
    <message>
        <source>moves the caret to the bottom row shown, extending the selection</source>
        <translation>перемещает курсор на нижнюю видимую строку, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the end of the row</source>
        <translation>перемещает курсор в конец строки</translation>
    </message>
    <message>
        <source>moves the caret to the end of the row, extending the selection</source>
        <translation>перемещает курсор в конец строки, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the first byte</source>
        <translation>перемещает курсор к первому байту</translation>
    </message>
    <message>
        <source>moves the caret to the first byte, extending the selection</source>
        <translation>перемещает курсор к первому байту, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the last byte</source>
        <translation>перемещает курсор к последнему байту</translation>
    </message>
    <message>
        <source>moves the caret to the last byte, extending the selection</source>
        <translation>перемещает курсор к последнему байту, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the start of the row</source>
        <translation>перемещает курсор в начало строки</translation>
    </message>
    <message>
        <source>moves the caret to the start of the row, extending the selection</source>
        <translation>перемещает курсор в начало строки, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the top row shown</source>
        <translation>перемещает курсор на верхнюю видимую строку</translation>
    </message>
    <message>
        <source>moves the caret to the top row shown, extending the selection</source>
        <translation>перемещает курсор на верхнюю видимую строку, расширяя выделение</translation>
    </message>
    <message>
        <source>pastes the clipboard at the caret</source>
        <translation>вставляет содержимое буфера обмена в позицию курсора</translation>
    </message>
    <message>
        <source>redoes the last undone step</source>
        <translation>повторяет последнее отменённое действие</translation>
    </message>
    <message>
        <source>selects everything</source>
        <translation>выделяет всё</translation>
    </message>
    <message>
        <source>sets bookmark %1 at the caret (again: clears it)</source>
        <translation>ставит закладку %1 в позиции курсора (повторно — снимает её)</translation>
    </message>
    <message>
        <source>switches between insert and overwrite mode</source>
        <translation>переключает режимы вставки и замены</translation>
    </message>
    <message>
        <source>switches the caret between the hex field and the characters</source>
        <translation>переводит курсор между шестнадцатеричным полем и полем символов</translation>
    </message>
    <message>
        <source>undoes the last step</source>
        <translation>отменяет последнее действие</translation>
    </message>
    <message>
        <source>moves the caret one unit (a byte unless the units are larger) left, extending the selection</source>
        <translation>перемещает курсор влево на единицу (байт, если единицы не крупнее), расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret one unit (a byte unless the units are larger) right, extending the selection</source>
        <translation>перемещает курсор вправо на единицу (байт, если единицы не крупнее), расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the first byte of the row, in the hex field</source>
        <translation>перемещает курсор к первому байту строки в шестнадцатеричном поле</translation>
    </message>
    <message>
        <source>moves the caret to the first byte of the row, in the hex field, extending the selection</source>
        <translation>перемещает курсор к первому байту строки в шестнадцатеричном поле, расширяя выделение</translation>
    </message>
    <message>
        <source>moves the caret to the last character of the row, in the characters</source>
        <translation>перемещает курсор к последнему символу строки в поле символов</translation>
    </message>
    <message>
        <source>moves the caret to the last character of the row, in the characters, extending the selection</source>
        <translation>перемещает курсор к последнему символу строки в поле символов, расширяя выделение</translation>
    </message>
</context>
<context>
    <name>RecordsDock</name>
    <message>
        <source>reserved frame type</source>
        <translation>зарезервированный тип кадра</translation>
    </message>
    <message>
        <source>bad frame header</source>
        <translation>неверный заголовок кадра</translation>
    </message>
    <message>
        <source>truncated frame</source>
        <translation>обрезанный кадр</translation>
    </message>
    <message>
        <source>#</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Начало</translation>
    </message>
    <message>
        <source>End</source>
        <translation>Конец</translation>
    </message>
    <message>
        <source>Codec</source>
        <translation>Кодек</translation>
    </message>
    <message>
        <source>Frames</source>
        <translation>Кадры</translation>
    </message>
    <message>
        <source>Seconds</source>
        <translation>Секунды</translation>
    </message>
    <message>
        <source>Recovered</source>
        <translation>Восстановлено</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>filler bytes</source>
        <translation>байты-заполнитель</translation>
    </message>
</context>
<context>
    <name>UndoSteps</name>
    <message>
        <source>Change Byte(s)</source>
        <translation>Изменение байтов</translation>
    </message>
    <message>
        <source>Remove Data</source>
        <translation>Удаление данных</translation>
    </message>
    <message>
        <source>Insert Buffer</source>
        <translation>Вставка данных</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Замена</translation>
    </message>
    <message>
        <source>Append Buffer</source>
        <translation>Добавление данных</translation>
    </message>
    <message>
        <source>Insert Nibble</source>
        <translation>Вставка полубайта</translation>
    </message>
    <message>
        <source>Delete Nibble</source>
        <translation>Удаление полубайта</translation>
    </message>
    <message>
        <source>Convert</source>
        <translation>Преобразование</translation>
    </message>
    <message>
        <source>Cursor movement</source>
        <translation>Перемещение курсора</translation>
    </message>
    <message>
        <source>Multiple Modification</source>
        <translation>Несколько изменений</translation>
    </message>
    <message>
        <source>All data saved</source>
        <translation>Все данные сохранены</translation>
    </message>
</context>
<context>
    <name>ViewSettings</name>
    <message>
        <source>The saved view settings in %1 cannot be read (%2); the default settings are used.</source>
        <translation>Не удаётся прочитать сохранённые настройки вида из %1 (%2); используются настройки по умолчанию.</translation>
    </message>
    <message>
        <source>The saved view settings in %1 were damaged (%2); the default settings are used.</source>
        <translation>Сохранённые настройки вида в %1 повреждены (%2); используются настройки по умолчанию.</translation>
    </message>
</context>
<context>
    <name>kestrave::app::ByteValuesDock</name>
    <message>
        <source>Byte Values</source>
        <translation>Значения байтов</translation>
    </message>
    <message>
        <source>Big endian</source>
        <translation>Старший байт первым</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a value of type %2.</source>
        <translation>«%1» не является значением типа «%2».</translation>
    </message>
    <message>
        <source>A %1 value needs %2 bytes; the data has %3 from the caret on.</source>
        <translation>Для значения типа «%1» нужно байт: %2, а от курсора до конца данных осталось: %3.</translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation>Изменение «%1»</translation>
    </message>
    <message>
        <source>Copy Value</source>
        <translation>Копировать значение</translation>
    </message>
</context>
<context>
    <name>kestrave::app::FindBar</name>
    <message>
        <source>Find</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Предыдущее</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Следующее</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>kestrave::app::HexPrintPreview</name>
    <message>
        <source>Print Preview</source>
        <translation>Предварительный просмотр</translation>
    </message>
    <message>
        <source>First</source>
        <translation>Первая</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Предыдущая</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Страница</translation>
    </message>
    <message>
        <source>of %1</source>
        <translation>из %1</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Следующая</translation>
    </message>
    <message>
        <source>Last</source>
        <translation>Последняя</translation>
    </message>
    <message>
        <source>Fit Width</source>
        <translation>По ширине</translation>
    </message>
    <message>
        <source>Fit Page</source>
        <translation>Страница целиком</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>Крупнее</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>Мельче</translation>
    </message>
    <message>
        <source>Print...</source>
        <translation>Печать...</translation>
    </message>
    <message>
        <source>%1%</source>
        <translation>%1 %</translation>
    </message>
</context>
<context>
    <name>kestrave::app::HexPrinting</name>
    <message>
        <source>Page %1 of %2</source>
        <translation>Страница %1 из %2</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>Пе&amp;чать...</translation>
    </message>
    <message>
        <source>Print Pre&amp;view...</source>
        <translation>Предварительный п&amp;росмотр...</translation>
    </message>
</context>
<context>
    <name>kestrave::app::HexWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Вид</translation>
    </message>
    <message>
        <source>&amp;Bookmarks</source>
        <translation>&amp;Закладки</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>&amp;Keys</source>
        <translation>&amp;Клавиши</translation>
    </message>
    <message>
        <source>&amp;New Window</source>
        <translation>&amp;Новое окно</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Открыть...</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Н&amp;едавние файлы</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Сохранить &amp;как...</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Выход</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Вы&amp;резать</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Вставить</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Выделить в&amp;сё</translation>
    </message>
    <message>
        <source>Copy A&amp;s</source>
        <translation>Копировать к&amp;ак</translation>
    </message>
    <message>
        <source>&amp;Hex Text</source>
        <translation>&amp;Шестнадцатеричный текст</translation>
    </message>
    <message>
        <source>&amp;C Array</source>
        <translation>&amp;Массив C</translation>
    </message>
    <message>
        <source>&amp;Base64</source>
        <translation>&amp;Base64</translation>
    </message>
    <message>
        <source>&amp;Text</source>
        <translation>&amp;Текст</translation>
    </message>
    <message>
        <source>Chec&amp;ksum of Selection</source>
        <translation>Контрольная с&amp;умма выделения</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Найти...</translation>
    </message>
    <message>
        <source>Find &amp;Next</source>
        <translation>Найти с&amp;ледующее</translation>
    </message>
    <message>
        <source>Find Pre&amp;vious</source>
        <translation>Найти пр&amp;едыдущее</translation>
    </message>
    <message>
        <source>R&amp;eplace...</source>
        <translation>&amp;Заменить...</translation>
    </message>
    <message>
        <source>&amp;Go to Offset...</source>
        <translation>Пере&amp;йти к смещению...</translation>
    </message>
    <message>
        <source>&amp;Insert Mode</source>
        <translation>Ре&amp;жим вставки</translation>
    </message>
    <message>
        <source>Byte &amp;Values</source>
        <translation>&amp;Значения байтов</translation>
    </message>
    <message>
        <source>&amp;Translation</source>
        <translation>&amp;Кодировка</translation>
    </message>
    <message>
        <source>&amp;Bytes per Row</source>
        <translation>&amp;Байт в строке</translation>
    </message>
    <message>
        <source>&amp;Unicode Characters</source>
        <translation>Символы &amp;Юникода</translation>
    </message>
    <message>
        <source>&amp;Ruler</source>
        <translation>&amp;Линейка</translation>
    </message>
    <message>
        <source>&amp;Lower-case Hex</source>
        <translation>&amp;Строчные шестнадцатеричные цифры</translation>
    </message>
    <message>
        <source>Go to Bookmark %1</source>
        <translation>Перейти к закладке %1</translation>
    </message>
    <message>
        <source>Set or clear with Ctrl+Shift+digit</source>
        <translation>Поставить или снять: Ctrl+Shift+цифра</translation>
    </message>
    <message>
        <source>Loading %1</source>
        <translation>Загрузка %1</translation>
    </message>
    <message>
        <source>Saving %1</source>
        <translation>Сохранение %1</translation>
    </message>
    <message>
        <source>Searching %1</source>
        <translation>Поиск в %1</translation>
    </message>
    <message>
        <source>No hex digits to find.</source>
        <translation>Нет шестнадцатеричных цифр для поиска.</translation>
    </message>
    <message>
        <source>No text to find.</source>
        <translation>Нет текста для поиска.</translation>
    </message>
    <message>
        <source>Select the bytes to search in first.</source>
        <translation>Сначала выделите байты, в которых искать.</translation>
    </message>
    <message>
        <source>Search stopped</source>
        <translation>Поиск остановлен</translation>
    </message>
    <message>
        <source>Not found in the selection.</source>
        <translation>В выделении не найдено.</translation>
    </message>
    <message>
        <source>Not found.</source>
        <translation>Не найдено.</translation>
    </message>
    <message>
        <source>Match %1 of %2</source>
        <translation>Совпадение %1 из %2</translation>
    </message>
    <message>
        <source>%1, continued from the start</source>
        <translation>%1, продолжено с начала</translation>
    </message>
    <message>
        <source>%1, continued from the end</source>
        <translation>%1, продолжено с конца</translation>
    </message>
    <message>
        <source>The data has changed: Find Next searches again.</source>
        <translation>Данные изменились: «Найти следующее» будет искать заново.</translation>
    </message>
    <message>
        <source>No hex digits to replace with.</source>
        <translation>Нет шестнадцатеричных цифр для замены.</translation>
    </message>
    <message>
        <source>The size of the data is fixed: the replacement must be %1 bytes long, as what it replaces.</source>
        <translation>Размер данных менять нельзя: замена должна занимать столько же байт, сколько заменяемое (%1).</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Замена</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Замена всех</translation>
    </message>
    <message>
        <source>Replaced %1 matches</source>
        <translation>Заменено совпадений: %1</translation>
    </message>
    <message>
        <source>Replaced 1 of %1 matches</source>
        <translation>Заменено совпадение 1 из %1</translation>
    </message>
    <message>
        <source>Select the bytes to copy first.</source>
        <translation>Сначала выделите байты для копирования.</translation>
    </message>
    <message>
        <source>Copy As takes up to %1 MiB; the selection holds %2 bytes.</source>
        <translation>«Копировать как» берёт не больше %1 МиБ, а в выделении байт: %2.</translation>
    </message>
    <message>
        <source>Select the bytes to sum first.</source>
        <translation>Сначала выделите байты для контрольной суммы.</translation>
    </message>
    <message>
        <source>%1 of the selection</source>
        <translation>%1 выделения</translation>
    </message>
    <message>
        <source>%1 of %2 bytes from 0x%3:
%4</source>
        <translation>%1 (байт: %2, начиная с 0x%3):
%4</translation>
    </message>
    <message>
        <source>In the data (the view has the focus):</source>
        <translation>В данных (фокус в области просмотра):</translation>
    </message>
    <message>
        <source>Menus (anywhere in the window):</source>
        <translation>Меню (в любом месте окна):</translation>
    </message>
    <message>
        <source>Mouse:</source>
        <translation>Мышь:</translation>
    </message>
    <message>
        <source>Click</source>
        <translation>Щелчок</translation>
    </message>
    <message>
        <source>puts the caret on a nibble or a character</source>
        <translation>ставит курсор на полубайт или символ</translation>
    </message>
    <message>
        <source>Shift+Click</source>
        <translation>Shift+щелчок</translation>
    </message>
    <message>
        <source>selects from the caret to the click</source>
        <translation>выделяет от курсора до места щелчка</translation>
    </message>
    <message>
        <source>Drag</source>
        <translation>Перетаскивание</translation>
    </message>
    <message>
        <source>selects; held beyond the view it scrolls on</source>
        <translation>выделяет; за краем области просмотра прокручивает дальше</translation>
    </message>
    <message>
        <source>Double click</source>
        <translation>Двойной щелчок</translation>
    </message>
    <message>
        <source>selects the unit under the pointer</source>
        <translation>выделяет элемент под указателем</translation>
    </message>
    <message>
        <source>Drag the selection</source>
        <translation>Перетаскивание выделения</translation>
    </message>
    <message>
        <source>moves it (Ctrl: copies it), also to another window</source>
        <translation>перемещает его (с Ctrl — копирует), в том числе в другое окно</translation>
    </message>
    <message>
        <source>Wheel</source>
        <translation>Колесо</translation>
    </message>
    <message>
        <source>scrolls a page</source>
        <translation>прокручивает на страницу</translation>
    </message>
    <message>
        <source>Ctrl+Wheel</source>
        <translation>Ctrl+колесо</translation>
    </message>
    <message>
        <source>changes the bytes per row</source>
        <translation>меняет число байт в строке</translation>
    </message>
    <message>
        <source>Ctrl+Shift+Wheel</source>
        <translation>Ctrl+Shift+колесо</translation>
    </message>
    <message>
        <source>changes the font size</source>
        <translation>меняет размер шрифта</translation>
    </message>
    <message>
        <source>Right click on the offsets</source>
        <translation>Правый щелчок по смещениям</translation>
    </message>
    <message>
        <source>offers other offset formats</source>
        <translation>предлагает другие форматы смещений</translation>
    </message>
    <message>
        <source>Drop a file around the data</source>
        <translation>Перетащить файл к данным</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Клавиши</translation>
    </message>
    <message>
        <source>There is no data to go to.</source>
        <translation>Нет данных для перехода.</translation>
    </message>
    <message>
        <source>Type an offset: 1234, 0x4D2, +16, -0x10 or 50%.</source>
        <translation>Введите смещение: 1234, 0x4D2, +16, -0x10 или 50%.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a share from 0% to 100%.</source>
        <translation>«%1» не является долей от 0% до 100%.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an offset: type 1234, 0x4D2, +16, -0x10 or 50%.</source>
        <translation>«%1» не является смещением: введите 1234, 0x4D2, +16, -0x10 или 50%.</translation>
    </message>
    <message>
        <source>Offset %1 lies outside the data, which runs from 0 to %2 (0x%3).</source>
        <translation>Смещение %1 за пределами данных (от 0 до %2, 0x%3).</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Отменить (%1)</translation>
    </message>
    <message>
        <source>Offset %1 (0x%2) of %3</source>
        <translation>Смещение %1 (0x%2) из %3</translation>
    </message>
    <message>
        <source>Selected %1 bytes from 0x%2 to 0x%3 (%4 to %5)</source>
        <translation>Выделено байт: %1, с 0x%2 по 0x%3 (%4–%5)</translation>
    </message>
    <message>
        <source>Read only</source>
        <translation>Только чтение</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Вставка</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Замена</translation>
    </message>
    <message>
        <source>%1: 1 match in the selection</source>
        <translation>%1: 1 совпадение в выделении</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n matches in the selection</source>
        <translation>
            <numerusform>%1: %n совпадение в выделении</numerusform>
            <numerusform>%1: %n совпадения в выделении</numerusform>
            <numerusform>%1: %n совпадений в выделении</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: 1 match</source>
        <translation>%1: 1 совпадение</translation>
    </message>
    <message numerus="yes">
        <source>%1: %n matches</source>
        <translation>
            <numerusform>%1: %n совпадение</numerusform>
            <numerusform>%1: %n совпадения</numerusform>
            <numerusform>%1: %n совпадений</numerusform>
        </translation>
    </message>
    <message>
        <source>Replacing every match would make the data larger than 2 GiB; nothing was replaced.</source>
        <translation>После замены всех совпадений данные превысили бы 2 ГиБ; ничего не заменено.</translation>
    </message>
    <message>
        <source>The list of recent files in %1 cannot be read (%2).</source>
        <translation>Список недавних файлов в %1 не удаётся прочитать (%2).</translation>
    </message>
    <message>
        <source>Re&amp;load</source>
        <translation>&amp;Перечитать</translation>
    </message>
    <message>
        <source>The file %1 has been changed by another program since this window read or saved it. Saving overwrites that change.
Overwrite it?</source>
        <translation>Файл %1 изменён другой программой после того, как это окно прочитало или сохранило его. Сохранение затрёт это изменение.
Перезаписать файл?</translation>
    </message>
    <message>
        <source>&amp;Overwrite</source>
        <translation>&amp;Перезаписать</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Отмена</translation>
    </message>
    <message>
        <source>The file %1 has been removed by another program. The window keeps its data; saving writes the file again.</source>
        <translation>Файл %1 удалён другой программой. Данные остаются в окне; при сохранении файл будет записан снова.</translation>
    </message>
    <message>
        <source>The file %1 has been changed by another program.</source>
        <translation>Файл %1 изменён другой программой.</translation>
    </message>
    <message>
        <source>Reloading it discards the changes made in this window.</source>
        <translation>Если перечитать его, изменения, сделанные в этом окне, будут потеряны.</translation>
    </message>
    <message>
        <source>&amp;Reload</source>
        <translation>&amp;Перечитать</translation>
    </message>
    <message>
        <source>&amp;Keep This Version</source>
        <translation>&amp;Оставить эту версию</translation>
    </message>
    <message>
        <source>Discard the changes made in this window and reload %1 from the disk?</source>
        <translation>Отбросить изменения, сделанные в этом окне, и перечитать %1 с диска?</translation>
    </message>
    <message>
        <source>%1
Save without a backup?</source>
        <translation>%1
Сохранить без резервной копии?</translation>
    </message>
    <message>
        <source>Save &amp;Without Backup</source>
        <translation>Сохранить &amp;без копии</translation>
    </message>
    <message>
        <source>Re&amp;cords</source>
        <translation>За&amp;писи</translation>
    </message>
    <message>
        <source>kestrave-hex opens files up to 2 GiB; this file has %1.</source>
        <translation>kestrave-hex открывает файлы размером до 2 ГиБ; в этом файле %1.</translation>
    </message>
    <message>
        <source>Hexadecimal, 0x prefix</source>
        <translation>Шестнадцатеричные, с префиксом 0x</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Десятичные</translation>
    </message>
    <message>
        <source>Hexadecimal, eight digits</source>
        <translation>Шестнадцатеричные, восемь цифр</translation>
    </message>
    <message>
        <source>Row numbers</source>
        <translation>Номера строк</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Close &amp;Tab</source>
        <translation>&amp;Закрыть вкладку</translation>
    </message>
    <message>
        <source>&amp;Next Tab</source>
        <translation>Сл&amp;едующая вкладка</translation>
    </message>
    <message>
        <source>&amp;Previous Tab</source>
        <translation>П&amp;редыдущая вкладка</translation>
    </message>
    <message>
        <source>Menu key, Shift+F10</source>
        <translation>Клавиша меню, Shift+F10</translation>
    </message>
    <message>
        <source>Anywhere in the window:</source>
        <translation>В любом месте окна:</translation>
    </message>
    <message>
        <source>moves the focus to the next part: the data, the find bar, the panels</source>
        <translation>переводит фокус к следующей части: данным, панели поиска, панелям</translation>
    </message>
    <message>
        <source>moves the focus to the previous part</source>
        <translation>переводит фокус к предыдущей части</translation>
    </message>
    <message>
        <source>Middle click on a tab</source>
        <translation>Щелчок средней кнопкой по вкладке</translation>
    </message>
    <message>
        <source>closes it</source>
        <translation>закрывает её</translation>
    </message>
    <message>
        <source>opens it in a tab of its own</source>
        <translation>открывает его в отдельной вкладке</translation>
    </message>
    <message>
        <source>%1 (missing)</source>
        <translation>%1 (нет на диске)</translation>
    </message>
    <message>
        <source>&amp;Clear List</source>
        <translation>&amp;Очистить список</translation>
    </message>
    <message>
        <source>The file %1 is no longer there. Take it off the list of recent files?</source>
        <translation>Файла %1 больше нет. Убрать его из списка недавних файлов?</translation>
    </message>
    <message>
        <source>&amp;Take Off</source>
        <translation>&amp;Убрать</translation>
    </message>
    <message>
        <source>&amp;Keep</source>
        <translation>&amp;Оставить</translation>
    </message>
</context>
<context>
    <name>kestrave::app::QtHexDialogs</name>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Поиск</translation>
    </message>
    <message>
        <source>Hex digits</source>
        <translation>Шестнадцатеричные цифры</translation>
    </message>
    <message>
        <source>Ignore case</source>
        <translation>Без учёта регистра</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Замена</translation>
    </message>
    <message>
        <source>Replace with:</source>
        <translation>Заменить на:</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Заменить</translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation>Заменить &amp;все</translation>
    </message>
    <message>
        <source>Go to Offset</source>
        <translation>Переход к смещению</translation>
    </message>
    <message>
        <source>1234, 0x4D2, +16, -0x10 or 50%</source>
        <translation>1234, 0x4D2, +16, -0x10 или 50%</translation>
    </message>
    <message>
        <source>Offset:</source>
        <translation>Смещение:</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Only in the selection</source>
        <translation>Только в выделении</translation>
    </message>
    <message>
        <source>Several files in %1 are shown as &quot;%2&quot;; rename them so that their names can be told apart.</source>
        <translation>Несколько файлов в %1 показаны как «%2»; переименуйте их, чтобы имена различались.</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 уже существует.
Заменить его?</translation>
    </message>
    <message>
        <source>%1 has changed. Save it first?</source>
        <translation>%1 изменён. Сохранить его сначала?</translation>
    </message>
</context>
<context>
    <name>kestrave::app::RecordsDock</name>
    <message>
        <source>Records</source>
        <translation>Записи</translation>
    </message>
    <message>
        <source>E&amp;xport...</source>
        <translation>&amp;Экспорт...</translation>
    </message>
    <message>
        <source>&amp;Trimmed AMR...</source>
        <translation>&amp;Чистый AMR...</translation>
    </message>
    <message>
        <source>&amp;WAV...</source>
        <translation>&amp;WAV...</translation>
    </message>
    <message>
        <source>&amp;Play</source>
        <translation>Прослу&amp;шать</translation>
    </message>
    <message>
        <source>Writes the picked records as &quot;Сохранить AMR&quot; writes them</source>
        <translation>Записывает выбранные записи так, как их пишет «Сохранить AMR»</translation>
    </message>
    <message>
        <source>Writes the storage header and complete frames of each</source>
        <translation>Записывает заголовок и целые кадры каждой записи</translation>
    </message>
    <message>
        <source>Writes the sound of each, decoded, as 16-bit PCM</source>
        <translation>Записывает звук каждой записи, декодированный, как 16-битный PCM</translation>
    </message>
    <message>
        <source>Playing position</source>
        <translation>Место воспроизведения</translation>
    </message>
    <message>
        <source>No AMR records (&quot;#!AMR&quot;) in the data.</source>
        <translation>В данных нет записей AMR («#!AMR»).</translation>
    </message>
    <message>
        <source>1 record</source>
        <translation>1 запись</translation>
    </message>
    <message numerus="yes">
        <source>%n records</source>
        <translation>
            <numerusform>%n запись</numerusform>
            <numerusform>%n записи</numerusform>
            <numerusform>%n записей</numerusform>
        </translation>
    </message>
    <message>
        <source>1 record marker (&quot;audio/amr&quot;)</source>
        <translation>1 метка записи («audio/amr»)</translation>
    </message>
    <message numerus="yes">
        <source>%n record markers (&quot;audio/amr&quot;)</source>
        <translation>
            <numerusform>%n метка записи («audio/amr»)</numerusform>
            <numerusform>%n метки записей («audio/amr»)</numerusform>
            <numerusform>%n меток записей («audio/amr»)</numerusform>
        </translation>
    </message>
    <message>
        <source>&quot;Сохранить AMR&quot; writes none</source>
        <translation>«Сохранить AMR» не пишет ни одной</translation>
    </message>
    <message>
        <source>&quot;Сохранить AMR&quot; writes records 1 to %1</source>
        <translation>«Сохранить AMR» пишет записи с 1 по %1</translation>
    </message>
    <message>
        <source>no AMR storage header</source>
        <translation>нет заголовка AMR</translation>
    </message>
    <message>
        <source>no complete frame</source>
        <translation>нет ни одного целого кадра</translation>
    </message>
    <message>
        <source>1 byte after the stream (%1)</source>
        <translation>1 байт после потока (%1)</translation>
    </message>
    <message numerus="yes">
        <source>%n bytes after the stream (%1)</source>
        <translation>
            <numerusform>%n байт после потока (%1)</numerusform>
            <numerusform>%n байта после потока (%1)</numerusform>
            <numerusform>%n байтов после потока (%1)</numerusform>
        </translation>
    </message>
    <message>
        <source>not written by the window</source>
        <translation>окно эту запись не пишет</translation>
    </message>
    <message>
        <source>The record files need a name to add their numbers to; nothing was written.</source>
        <translation>Файлам записей нужно имя, к которому добавляются номера; ничего не записано.</translation>
    </message>
    <message>
        <source>Pick the records to export first.</source>
        <translation>Сначала выберите записи для экспорта.</translation>
    </message>
    <message>
        <source>%1 is the file this window shows: a record cannot replace it. Nothing was written.</source>
        <translation>%1 — файл, открытый в этом окне: запись не может его заменить. Ничего не записано.</translation>
    </message>
    <message>
        <source>Writing record %1 of %2</source>
        <translation>Запись %1 из %2</translation>
    </message>
    <message>
        <source>1 file written:</source>
        <translation>Записан 1 файл:</translation>
    </message>
    <message numerus="yes">
        <source>%n files written:</source>
        <translation>
            <numerusform>Записан %n файл:</numerusform>
            <numerusform>Записано %n файла:</numerusform>
            <numerusform>Записано %n файлов:</numerusform>
        </translation>
    </message>
    <message>
        <source>Without an AMR storage header, not written: %1</source>
        <translation>Без заголовка AMR, не записаны: %1</translation>
    </message>
    <message>
        <source>Stopped: the other records were not written.</source>
        <translation>Остановлено: остальные записи не записаны.</translation>
    </message>
    <message>
        <source>No audio output was found: records cannot be played here. Everything else works.</source>
        <translation>Звуковой выход не найден: прослушать записи здесь нельзя. Всё остальное работает.</translation>
    </message>
    <message>
        <source>Pick a record to play first.</source>
        <translation>Сначала выберите запись для прослушивания.</translation>
    </message>
    <message>
        <source>Record %1 has no sound to play.</source>
        <translation>В записи %1 нет звука.</translation>
    </message>
    <message>
        <source>The audio output refused to play record %1.</source>
        <translation>Звуковой выход отказался воспроизводить запись %1.</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>С&amp;топ</translation>
    </message>
    <message>
        <source>multichannel AMR (&quot;#!AMR_MC1.0&quot;), not read</source>
        <translation>многоканальный AMR (&quot;#!AMR_MC1.0&quot;), не читается</translation>
    </message>
    <message>
        <source>header repaired</source>
        <translation>заголовок исправлен</translation>
    </message>
    <message>
        <source>%1 (%2) skipped, the first at %3 (%4): %5 recovered after it</source>
        <translation>пропущено: %1 (%2), первый на %3 (%4); после него восстановлено: %5</translation>
    </message>
    <message>
        <source>1 gap</source>
        <translation>1 пропуск</translation>
    </message>
    <message numerus="yes">
        <source>%n gaps</source>
        <translation>
            <numerusform>%n пропуск</numerusform>
            <numerusform>%n пропуска</numerusform>
            <numerusform>%n пропусков</numerusform>
        </translation>
    </message>
    <message>
        <source>1 byte</source>
        <translation>1 байт</translation>
    </message>
    <message numerus="yes">
        <source>%n bytes</source>
        <translation>
            <numerusform>%n байт</numerusform>
            <numerusform>%n байта</numerusform>
            <numerusform>%n байтов</numerusform>
        </translation>
    </message>
    <message>
        <source>1 frame</source>
        <translation>1 кадр</translation>
    </message>
    <message numerus="yes">
        <source>%n frames</source>
        <translation>
            <numerusform>%n кадр</numerusform>
            <numerusform>%n кадра</numerusform>
            <numerusform>%n кадров</numerusform>
        </translation>
    </message>
    <message>
        <source>1 decodable frame past the damage left out</source>
        <translation>1 декодируемый кадр после повреждения не взят</translation>
    </message>
    <message numerus="yes">
        <source>%n decodable frames past the damage left out</source>
        <translation>
            <numerusform>%n декодируемый кадр после повреждения не взят</numerusform>
            <numerusform>%n декодируемых кадра после повреждения не взяты</numerusform>
            <numerusform>%n декодируемых кадров после повреждения не взяты</numerusform>
        </translation>
    </message>
</context>
</TS>
