// An Environment that records every report, so tests can check the exact texts.
// Construct one in a test (or a fixture): it installs itself and restores the
// previous environment when it goes out of scope.
#pragma once

#include <string>
#include <vector>

#include "foundation/environment.h"

struct AssertionReport {
    std::string expression;
    std::string module;
    int line;
};

struct SystemErrorReport {
    std::string module;
    int line;
    uint32_t code;
    std::string name;
};

class RecordingEnvironment : public Environment {
public:
    RecordingEnvironment();
    ~RecordingEnvironment();
    RecordingEnvironment(const RecordingEnvironment&) = delete;
    RecordingEnvironment& operator=(const RecordingEnvironment&) = delete;

    void Warning(const char* message) override;
    void FeaturesAdded(const dbRecord_Class* record) override;
    void SystemError(const char* file, int32_t line, uint32_t code, const char* name) override;
    void AssertionFailed(const char* expression, const char* file, int32_t line) override;

    // The expression texts of the assertion reports, in order.
    std::vector<std::string> Expressions() const;
    void Clear();

    std::vector<AssertionReport> assertions;
    std::vector<std::string> warnings;
    std::vector<SystemErrorReport> systemErrors;
    std::vector<const dbRecord_Class*> featuresAdded;

private:
    Environment* previous_;
};
