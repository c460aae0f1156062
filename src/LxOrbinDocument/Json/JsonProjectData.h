#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "LxOrbinDocument/Json/JsonProject.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/DateFormatter.h"
#include "platform/json/DateStrategy.h"
#include "platform/json/Value.h"

// The project document "project.moc" as text: reads a document file into a JsonProject, renders
// a JsonProject as the document's text, and fixes the one form of every date in it. A value;
// nothing is kept of the file once it is read.
//
// Dates are local wall-clock times without a zone: written "yyyy-MM-dd'T'HH:mm:ss" (always 19
// characters, ASCII digits) in the current time zone, and read in the current time zone either
// in that form (from a text of 19 or more characters, whose first 19 count: "Z", ".250" or
// "+02:00" after them are ignored) or as a day "yyyy-MM-dd" at 00:00 (from a shorter text).
// Nothing else is a date: not "2021-3-5", not "2021-03-05T14:07", not "2021-02-30", and not a
// text whose date could not be written again (the year 0000). Dates before the calendar reform
// of October 1582 are Julian dates, in reading and in writing.
//
// Reading is all or nothing: a value of the wrong type, a number that does not fit its field, a
// task "Type" other than 0, 1 or 2 or a date that cannot be read anywhere in the tree gives no
// document at all. Neither reading nor writing throws or logs; callers report the failure in
// their own words.
//
// Any number of documents may be read and written at once on different threads; the two date
// formatters are made once per process and shared.
//
// Example:
//   const auto document = JsonProjectData::fromFilePath(unzipFolder + "/project.moc");
//   if (document) { use(*document->_data); }
//
//   JsonProjectData saving;
//   saving._data = JsonProject(uniqueId, name);
//   const std::optional<std::string> text = saving.jsonString();
class JsonProjectData {
public:
    // The document limit: larger document files are refused unread, before any memory is taken
    // for them, and the package opener refuses a "project.moc" that inflates beyond it. A plan
    // of a million tasks is about 730 MB; reading one takes about three times its size.
    static constexpr std::uintmax_t kMaximumFileSize = std::uintmax_t{2} << 30;  // 2 GiB

    // The document's top-level object; absent when nothing was read or set.
    std::optional<JsonProject> _data;

    // The document in the file at `filePath`. None for a blank path or one where no file is, a
    // file that cannot be read or is larger than kMaximumFileSize, text that is not one JSON
    // value, a top-level value that is null or not an object, and every failure of reading.
    static std::optional<JsonProjectData> fromFilePath(const std::string& filePath);

    // The document in `text`, as fromFilePath() reads a file's bytes: none for text longer than
    // kMaximumFileSize, text that is not one JSON value, a top-level value that is null or not
    // an object, and every failure of reading.
    static std::optional<JsonProjectData> fromText(std::string_view text);

    // The whole document as pretty-printed UTF-8 ("/" written "\/"); absent fields write no key.
    // None when `_data` is absent or a value cannot be written: a non-finite number, a date whose
    // year is not one of 1 to 9999, text that is not UTF-8, nesting deeper than the JSON layer's
    // limit.
    std::optional<std::string> jsonString() const;

    // How the document writes dates: "yyyy-MM-dd'T'HH:mm:ss", each distinct date formatted
    // once per strategy; a date outside the years 1 to 9999 is an EncodingError.
    static platform::json::DateEncodingStrategy writingStrategy();

    // The date hook of reading: a string in one of the two forms, else a data-corrupted error
    // "Cannot decode date string <the string>" (a type mismatch for a value that is no string).
    static platform::Date decodeJsonDate(const platform::json::Value& value);

    // The two document date formatters; made on first use, shared by every thread.
    static const platform::DateFormatter& jsonFullDateFormatter();  // "yyyy-MM-dd'T'HH:mm:ss"
    static const platform::DateFormatter& jsonDayDateFormatter();   // "yyyy-MM-dd"

    // Reading from the text itself, for decoders (platform::json::TextDecodable): the records
    // come straight from the parser's events, with no parsed document in between. A top-level
    // null leaves `_data` absent; every other failure is the decoder's error.
    static JsonProjectData decodeFromText(std::string_view text,
                                          const platform::json::Decoder& decoder);
};
