#pragma once

// Test helper: the exchange file of a school that has no timetable.

#include <QByteArray>

namespace taktirio::testing {

// Teacher ΑΛΦΑ teaches five hours in each of two class sections, so at most
// once a day in each, but must be free at every hour of Monday: no timetable
// exists, and a search without the checks before it goes on until stopped.
inline QByteArray SchoolWithoutTimetable() {
    QByteArray json = R"({"format": "taktirio-school", "version": 1,
  "school": {"name": "Σχολείο χωρίς λύση", "responsible": "Χ. Χ.", "solutions_requested": 2},
  "classes": ["Α1", "Α2"],
  "teachers": ["ΑΛΦΑ", "ΒΗΤΑ", "ΓΑΜΜΑ", "ΔΕΛΤΑ", "ΕΨΙΛΟΝ", "ΖΗΤΑ", "ΗΤΑ"],
  "allocation": [)";
    const char* teachers[] = {"ΑΛΦΑ", "ΒΗΤΑ", "ΓΑΜΜΑ", "ΔΕΛΤΑ", "ΕΨΙΛΟΝ", "ΖΗΤΑ", "ΗΤΑ"};
    bool first = true;
    for (const char* c : {"Α1", "Α2"}) {
        for (const char* t : teachers) {
            json += first ? "" : ",";
            first = false;
            json += QByteArray("{\"class\": \"") + c + "\", \"teacher\": \"" + t +
                    "\", \"single\": 5, \"double\": 0}";
        }
    }
    json += "],\n  \"free_hours\": [";
    for (int hour = 1; hour <= 7; ++hour) {
        json += (hour > 1 ? "," : "") +
                QByteArray("{\"teacher\": \"ΑΛΦΑ\", \"day\": 1, \"hour\": ") +
                QByteArray::number(hour) + "}";
    }
    return json + "]\n}\n";
}

}  // namespace taktirio::testing
