/*
** Task file reading and writing with nlohmann::json. Each task is one flat object naming
** its parent, so the file's depth never depends on the tree's.
*/
#include "task_file.h"

#include <nlohmann/json.hpp>

#include <cstdio>

#include "ole_date_text.h"
#include "text_utf.h"

using nlohmann::json;
using nlohmann::ordered_json;

namespace {

struct FileFault {
    std::string message;
};

[[noreturn]] void Fail(const std::string &where, const std::string &what)
{
    throw FileFault{where + ": " + what};
}

/* A date field: text, a raw OleDate, or (for task dates) the words "min" and "max". */
double ReadDate(const json &value, const Model &model, bool wordsAllowed, const std::string &where)
{
    if (value.is_number())
        return value.get<double>();
    if (value.is_string()) {
        std::string text = value.get<std::string>();
        if (wordsAllowed && text == "min")
            return model.minDate;
        if (wordsAllowed && text == "max")
            return model.maxDate;
        double date = 0;
        if (ParseDateText(text, &date))
            return date;
        Fail(where, "date \"" + text + "\" is not YYYY-MM-DD HH:MM:SS" + (wordsAllowed ? ", min or max" : ""));
    }
    Fail(where, "a date must be text or a number");
}

std::wstring ReadText(const json &object, const char *key, const std::string &where)
{
    auto it = object.find(key);
    if (it == object.end())
        return std::wstring();
    if (!it->is_string())
        Fail(where, std::string("\"") + key + "\" must be text");
    return Utf8ToWide(it->get<std::string>());
}

void ReadTask(const json &entry, Model *model, const std::string &where)
{
    if (!entry.is_object())
        Fail(where, "must be an object");
    std::wstring uid = ReadText(entry, "uid", where);
    if (uid.empty())
        Fail(where, "needs a non-empty \"uid\"");
    if (uid == kRootUid)
        Fail(where, "\"root\" is the top of the tree, not a task");
    std::wstring parent = entry.contains("parent") ? ReadText(entry, "parent", where) : std::wstring(kRootUid);
    if (model->tasks.count(uid))
        Fail(where, "uid \"" + WideToUtf8(uid) + "\" appears twice");
    Task *task = model->AddTask(uid, parent);
    if (!task)
        Fail(where, "parent \"" + WideToUtf8(parent) + "\" is not listed before it");
    task->title = ReadText(entry, "title", where);
    task->notes = ReadText(entry, "notes", where);
    if (entry.contains("state")) {
        if (!entry["state"].is_number_integer())
            Fail(where, "\"state\" must be an integer");
        task->state = entry["state"].get<int>();
    }
    if (entry.contains("present")) {
        if (!entry["present"].is_boolean())
            Fail(where, "\"present\" must be true or false");
        task->present = entry["present"].get<bool>();
    }
    task->begin = entry.contains("begin") ? ReadDate(entry["begin"], *model, true, where) : model->now;
    task->end = entry.contains("end") ? ReadDate(entry["end"], *model, true, where) : model->now;
    task->created = entry.contains("created") ? ReadDate(entry["created"], *model, true, where) : model->now;
    task->modified = entry.contains("modified") ? ReadDate(entry["modified"], *model, true, where) : model->now;
}

void ReadContact(const json &entry, Model *model, const std::string &where)
{
    if (!entry.is_object())
        Fail(where, "must be an object");
    Contact contact;
    contact.uid = ReadText(entry, "uid", where);
    if (contact.uid.empty())
        Fail(where, "needs a non-empty \"uid\"");
    if (model->contactIndex.count(contact.uid))
        Fail(where, "uid \"" + WideToUtf8(contact.uid) + "\" appears twice");
    contact.name = ReadText(entry, "name", where);
    if (entry.contains("present")) {
        if (!entry["present"].is_boolean())
            Fail(where, "\"present\" must be true or false");
        contact.present = entry["present"].get<bool>();
    }
    if (entry.contains("communications")) {
        const json &list = entry["communications"];
        if (!list.is_array())
            Fail(where, "\"communications\" must be a list");
        for (const json &item : list) {
            if (!item.is_array() || item.size() != 3 || !item[0].is_string() || !item[1].is_string() ||
                !item[2].is_string())
                Fail(where, "each communication must be three texts: kind, label, value");
            contact.communications.push_back({Utf8ToWide(item[0].get<std::string>()),
                                              Utf8ToWide(item[1].get<std::string>()),
                                              Utf8ToWide(item[2].get<std::string>())});
        }
    }
    model->contactIndex.emplace(contact.uid, model->contacts.size());
    model->contacts.push_back(std::move(contact));
}

/* Text when the date reads back exactly, else the number with every digit. */
ordered_json DateValue(double date, const Model &model, bool wordsAllowed)
{
    if (wordsAllowed && date == model.minDate)
        return "min";
    if (wordsAllowed && date == model.maxDate)
        return "max";
    std::string text = ExactDateText(date);
    if (!text.empty())
        return text;
    return date;
}

/* The text as a JSON string literal, quotes included. */
std::string QuotedText(const std::wstring &text)
{
    return ordered_json(WideToUtf8(text)).dump();
}

} // namespace

bool ReadTaskJson(const std::string &utf8Json, Model *model, std::string *error)
{
    try {
        std::string text = utf8Json;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) // a byte order mark some editors add
            text.erase(0, 3);
        // Reading needs no key order, and the plain json type parses faster.
        json doc = json::parse(text);
        if (!doc.is_object())
            Fail("task file", "must be a JSON object");
        Model fresh;
        if (doc.contains("now"))
            fresh.now = ReadDate(doc["now"], fresh, false, "\"now\"");
        if (doc.contains("min_date"))
            fresh.minDate = ReadDate(doc["min_date"], fresh, false, "\"min_date\"");
        if (doc.contains("max_date"))
            fresh.maxDate = ReadDate(doc["max_date"], fresh, false, "\"max_date\"");
        Task &root = fresh.tasks.at(kRootUid);
        root.begin = root.end = root.created = root.modified = fresh.now;
        if (doc.contains("tasks")) {
            if (!doc["tasks"].is_array())
                Fail("\"tasks\"", "must be a list");
            size_t n = 0;
            for (const json &entry : doc["tasks"])
                ReadTask(entry, &fresh, "task " + std::to_string(++n));
        }
        if (doc.contains("contacts")) {
            if (!doc["contacts"].is_array())
                Fail("\"contacts\"", "must be a list");
            size_t n = 0;
            for (const json &entry : doc["contacts"])
                ReadContact(entry, &fresh, "contact " + std::to_string(++n));
        }
        *model = std::move(fresh);
        return true;
    } catch (const FileFault &fault) {
        *error = fault.message;
    } catch (const std::exception &e) {
        *error = std::string("not valid JSON: ") + e.what();
    }
    return false;
}

std::string WriteTaskJson(const Model &model)
{
    std::string out = "{\"min_date\": " + DateValue(model.minDate, model, false).dump() +
                      ", \"max_date\": " + DateValue(model.maxDate, model, false).dump() +
                      ", \"now\": " + DateValue(model.now, model, false).dump() + ",\n\"tasks\": [";
    const char *separator = "\n";
    // Lines are assembled by hand: a json object per task costs more than the text.
    for (const std::wstring *uid : model.TasksInFileOrder()) {
        const Task &task = model.tasks.at(*uid);
        out += separator;
        out += "{\"uid\":" + QuotedText(*uid);
        out += ",\"parent\":" + QuotedText(*task.parent);
        out += ",\"title\":" + QuotedText(task.title);
        out += ",\"state\":" + std::to_string(task.state);
        out += ",\"begin\":" + DateValue(task.begin, model, true).dump();
        out += ",\"end\":" + DateValue(task.end, model, true).dump();
        out += ",\"created\":" + DateValue(task.created, model, true).dump();
        out += ",\"modified\":" + DateValue(task.modified, model, true).dump();
        out += task.present ? ",\"present\":true" : ",\"present\":false";
        if (!task.notes.empty())
            out += ",\"notes\":" + QuotedText(task.notes);
        out += '}';
        separator = ",\n";
    }
    out += "\n],\n\"contacts\": [";
    separator = "\n";
    for (const Contact &contact : model.contacts) {
        ordered_json entry;
        entry["uid"] = WideToUtf8(contact.uid);
        entry["name"] = WideToUtf8(contact.name);
        if (!contact.present)
            entry["present"] = false;
        entry["communications"] = ordered_json::array();
        for (const auto &c : contact.communications)
            entry["communications"].push_back({WideToUtf8(c[0]), WideToUtf8(c[1]), WideToUtf8(c[2])});
        out += separator + entry.dump();
        separator = ",\n";
    }
    out += "\n]}\n";
    return out;
}
