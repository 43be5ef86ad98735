// Loads libtesk.so into SQLite as a run-time extension, as a host with a database would,
// and reads a CSV file through the "csv" virtual table it registers.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

const std::string kFixture = std::string(TESK_CSV_FIXTURE_DIR) + "/wells.csv";

// Keeps the connection and the SQLite error text together so failures show what SQLite said.
struct Db {
    sqlite3* handle = nullptr;
    Db() { sqlite3_open(":memory:", &handle); }
    ~Db() { sqlite3_close(handle); }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;

    int LoadTesk(std::string* error) {
        sqlite3_enable_load_extension(handle, 1);
        char* message = nullptr;
        const int rc = sqlite3_load_extension(handle, TESK_LIBRARY_PATH, "sqlite3_csv_init", &message);
        *error = message ? message : "";
        sqlite3_free(message);
        return rc;
    }

    int Exec(const std::string& sql, std::string* error) {
        char* message = nullptr;
        const int rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message);
        *error = message ? message : "";
        sqlite3_free(message);
        return rc;
    }

    // Column names first, then every row as text; NULL reads as "<null>".
    std::vector<Row> Query(const std::string& sql) {
        std::vector<Row> table;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            ADD_FAILURE() << sql << ": " << sqlite3_errmsg(handle);
            return table;
        }
        const int columns = sqlite3_column_count(stmt);
        Row names;
        for (int c = 0; c < columns; ++c) names.emplace_back(sqlite3_column_name(stmt, c));
        table.push_back(names);
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
            Row row;
            for (int c = 0; c < columns; ++c) {
                const unsigned char* text = sqlite3_column_text(stmt, c);
                row.emplace_back(text ? reinterpret_cast<const char*>(text) : "<null>");
            }
            table.push_back(row);
        }
        EXPECT_EQ(rc, SQLITE_DONE) << sql << ": " << sqlite3_errmsg(handle);
        sqlite3_finalize(stmt);
        return table;
    }
};

std::string CreateCsvTable(const std::string& path) {
    return "CREATE VIRTUAL TABLE temp.t USING csv(filename='" + path + "', header=yes)";
}

class CsvExtension : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(db.handle, nullptr);
        std::string error;
        ASSERT_EQ(db.LoadTesk(&error), SQLITE_OK) << error;
    }
    Db db;
};

TEST_F(CsvExtension, ReadsHeaderNamesRowsAndQuotedFields) {
    std::string error;
    ASSERT_EQ(db.Exec(CreateCsvTable(kFixture), &error), SQLITE_OK) << error;

    const std::vector<Row> expected = {
        {"well", "depth_ft", "remark"},
        {"A-1", "5200", "pumped off, low fillage"},
        {"B-7", "7450", "steady"},
        {"C-3 \"north\"", "3100", ""},
    };
    EXPECT_EQ(db.Query("SELECT * FROM temp.t"), expected);
}

TEST_F(CsvExtension, CountsRowsAndFiltersByColumnName) {
    std::string error;
    ASSERT_EQ(db.Exec(CreateCsvTable(kFixture), &error), SQLITE_OK) << error;

    EXPECT_EQ(db.Query("SELECT count(*) FROM temp.t"), (std::vector<Row>{{"count(*)"}, {"3"}}));
    EXPECT_EQ(db.Query("SELECT well FROM temp.t WHERE CAST(depth_ft AS INTEGER) > 5000 ORDER BY well"),
              (std::vector<Row>{{"well"}, {"A-1"}, {"B-7"}}));
}

TEST_F(CsvExtension, MissingFileIsSqliteErrorNotCrash) {
    const std::string missing = std::string(TESK_CSV_FIXTURE_DIR) + "/no_such_file.csv";
    std::string error;
    EXPECT_EQ(db.Exec(CreateCsvTable(missing), &error), SQLITE_ERROR);
    EXPECT_EQ(error, "cannot open '" + missing + "' for reading");
    EXPECT_EQ(db.Exec("SELECT * FROM temp.t", &error), SQLITE_ERROR);
    EXPECT_EQ(error, "no such table: temp.t");
}

// The module belongs to the connection the entry point was called on, not to the process.
TEST_F(CsvExtension, RegistersModuleOnlyOnGivenConnection) {
    Db other;
    ASSERT_NE(other.handle, nullptr);
    std::string error;
    EXPECT_EQ(other.Exec(CreateCsvTable(kFixture), &error), SQLITE_ERROR);
    EXPECT_EQ(error, "no such module: csv");
}

}  // namespace
