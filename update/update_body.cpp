// Writer of the .up body.
#include "update_body.h"

bool writeUpdateBody(const std::string& date, const std::string& version, const std::string& description,
                     std::vector<uint8_t>& body, std::string& error) {
    struct Item {
        const char* name;
        const std::string& text;
        size_t limit;
    } items[] = {{"date", date, kUpDateLimit},
                 {"version", version, kUpVersionLimit},
                 {"description", description, kUpDescriptionLimit}};
    body.clear();
    for (const Item& item : items) {
        if (item.text.size() > item.limit) {
            error = std::string("the ") + item.name + " is " + std::to_string(item.text.size()) +
                    " bytes in GBK, but the program reads at most " + std::to_string(item.limit);
            return false;
        }
        body.push_back(uint8_t(item.text.size()));
        body.insert(body.end(), item.text.begin(), item.text.end());
    }
    return true;
}
