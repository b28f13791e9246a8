// A bare sheet to write notes on, the shipped configuration with its defaults read, and the host's preferences as a
// value that can be compared before and after a routine.
#ifndef TESTS_NOTES_NOTES_FIXTURE_H
#define TESTS_NOTES_NOTES_FIXTURE_H

#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "my_func1/elec_defaults.h"
#include "run_driver/run_fixture.h"
#include "support/odd_preferences.h"

namespace notes_test {

// Every annotation and lettering preference the host hands out.
struct Preferences {
    int mpi[UF_DRF_PREF_INTEGERS];
    double mpr[UF_DRF_PREF_REALS];
    char radius[UF_DRF_SYMBOL_TEXT_SIZE];
    char diameter[UF_DRF_SYMBOL_TEXT_SIZE];
    UF_DRF_lettering_preferences_t lettering;

    static Preferences now() {
        Preferences p;
        std::memset(&p, 0, sizeof p);
        EXPECT_EQ(UF_DRF_ask_preferences(p.mpi, p.mpr, p.radius, p.diameter), 0);
        EXPECT_EQ(UF_DRF_ask_lettering_preferences(&p.lettering), 0);
        return p;
    }
    bool operator==(const Preferences& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

// A note or label as the sheet's report gives it.
struct Written {
    std::string kind;
    std::vector<std::string> lines;
    double x, y;
    int alignment;
    double height;
};

class NotesTest : public run_driver_test::RunTest {
  protected:
    void SetUp() override {
        RunTest::SetUp();
        ASSERT_EQ(read_elec_defaults(&the_elec_defaults), 1);
    }
    // config.def with one entry's value replaced.
    void configure(const std::string& key, const std::string& value) {
        std::ifstream in(conf.path() + "/config.def");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text = std::regex_replace(text, std::regex(key + ",[^,]*,EOF"), key + "," + value + ",EOF");
        conf.write_config(text);
    }
    // config.def without one entry.
    void unconfigure(const std::string& key) {
        std::ifstream in(conf.path() + "/config.def");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::string without = std::regex_replace(text, std::regex(key + ",[^,]*,EOF"), "");
        ASSERT_NE(without, text) << key;
        conf.write_config(without);
    }
    // A drawing without template or title block: whatever the report lists afterwards, the routine wrote.
    static tag_t bare_sheet(const char* name) {
        UF_DRAW_info_t info = {};
        info.size_state = UF_DRAW_CUSTOM_SIZE;
        info.size.custom_size[0] = 210.0;
        info.size.custom_size[1] = 297.0;
        info.drawing_scale = 1.0;
        info.units = UF_PART_METRIC;
        info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
        tag_t drawing = NULL_TAG;
        EXPECT_EQ(UF_DRAW_create_drawing(name, &info, &drawing), 0);
        return drawing;
    }
    static std::vector<Written> written(const std::string& sheet) {
        std::vector<Written> out;
        const auto r = report(sheet);
        for (const auto& a : r["annotations"]) {
            if (a["kind"] != "note" && a["kind"] != "label") continue;
            out.push_back({a["kind"], a["text"], a["position"][0], a["position"][1], a["alignment"], a["text_height"]});
        }
        return out;
    }
    // A plain box body with attributes, enough for the routines that read only attributes and the name.
    static tag_t body_with(const char* name) {
        const tag_t body = add_box(0, 0, 0, 10, 10, 10);
        if (name) {
            EXPECT_EQ(UF_OBJ_set_name(body, name), 0);
        }
        return body;
    }
    static void set_real(tag_t body, const char* title, double v) {
        UF_ATTR_value_t value;
        value.type = UF_ATTR_real;
        value.value.real = v;
        ASSERT_EQ(UF_ATTR_assign(body, title, value), 0);
    }
    static void set_integer(tag_t body, const char* title, int v) {
        UF_ATTR_value_t value;
        value.type = UF_ATTR_integer;
        value.value.integer = v;
        ASSERT_EQ(UF_ATTR_assign(body, title, value), 0);
    }
    static void set_string(tag_t body, const char* title, const std::string& v) {
        UF_ATTR_value_t value;
        value.type = UF_ATTR_string;
        value.value.string = const_cast<char*>(v.c_str());
        ASSERT_EQ(UF_ATTR_assign(body, title, value), 0);
    }
    // Preferences unlike the command's working ones, so that a routine that forgets to set or to restore shows.
    // Every member of the record, lettering included.
    static void odd_preferences() { doc().set_drafting_preferences(testing_support::odd_drafting_preferences()); }
};

}  // namespace notes_test

#endif
