#include "effects/parameter_declarations.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "framework/script_reader.h"
#include "player/effect_types.h"
#include "support/captured_console.h"
#include "support/lwo_bytes.h"
#include "support/null_render_state.h"
#include "support/picture_files.h"

namespace {

using Read = std::pair<std::string, ParameterKind>;
std::vector<Read> reads;
void recordRead(const std::string& name, ParameterKind kind) { reads.emplace_back(name, kind); }

// A value of the right kind for every declared use; the same text serves as
// an expression of any variable list.
std::string valueFor(const ParameterDeclaration& parameter, const std::string& picture, const std::string& object) {
    switch (parameter.use) {
    case ParameterUse::Number:
        return "1";
    case ParameterUse::Integer:
        return "%2";
    case ParameterUse::Word:
        return parameter.choices.empty() ? "true"
                                         : std::string(parameter.choices.substr(0, parameter.choices.find(' ')));
    case ParameterUse::Expression:
        return "\"0.5\"";
    case ParameterUse::Picture:
        return picture;
    case ParameterUse::Object:
        return object;
    }
    return {};
}

// Each type is read twice: with every declared parameter given, and with
// only its pictures, so that init takes both sides of every choice (grid and
// object mode, given and default values).
TEST(ParameterDeclarationsTest, EveryParameterAnEffectReadsIsDeclared) {
    ScratchDirectory scratch;
    NullRenderState renderState;
    const std::string picture = writeSolidTga("declared_parameters.tga", 2, 2, 1, 2, 3, 255);
    const std::string object = testing::TempDir() + "declared_parameters.lwo";
    writeBytesToFile(object, lwoFile({lwoPoints({0, 0, 1, 1, 0, 0, 0, 1, 0}), lwoPolygons({{0, 1, 2}})}));

    for (const EffectTypeDeclaration& type : effectTypeDeclarations()) {
        for (const bool everything : {true, false}) {
            std::string script = "defineEffect probe as " + std::string(type.typeName) + "\n";
            for (const ParameterDeclaration& parameter : type.parameters)
                if (everything || parameter.use == ParameterUse::Picture)
                    script += std::string(parameter.name) + " : " + valueFor(parameter, picture, object) + "\n";
            script += "end\ncreateInstance of probe as iDemo at 0 10\n";

            reads.clear();
            captureConsole([&] {
                ScriptReader reader(
                    ScriptReaderSetup{.limits = {}, .waitForKey = waitForConsoleKey, .parameterReads = recordRead});
                registerEffectTypes(reader);
                reader.loadFromText(script, "iDemo.dat", renderState);
            });

            for (const auto& [name, kind] : reads) {
                const ParameterDeclaration* declared = findParameterDeclaration(type, name);
                ASSERT_NE(declared, nullptr) << type.typeName << " reads the undeclared parameter " << name;
                EXPECT_EQ(storedKind(declared->use), kind)
                    << type.typeName << " reads " << name << " from another table";
            }
        }
    }
}

// The parameter tables of docs/effects.md, as (type, name, kind) rows.
// "`position.x`, `.y`, `.z`" names three parameters; "expressions" is read
// as "expression".
std::set<std::string> documentedParameters(const std::string& markdown, std::set<std::string>& types) {
    std::set<std::string> rows;
    std::istringstream in(markdown);
    std::string type;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("## ", 0) == 0) {
            const std::string title =
                line.substr(3, line.find(':') == std::string::npos ? std::string::npos : line.find(':') - 3);
            type = title.find(' ') == std::string::npos ? title : "";
            if (!type.empty()) types.insert(type);
            continue;
        }
        if (type.empty() || line.rfind("| `", 0) != 0) continue;
        const std::size_t nameEnd = line.find(" | ", 2);
        const std::size_t kindEnd = line.find(" | ", nameEnd + 3);
        std::string kind = line.substr(nameEnd + 3, kindEnd - nameEnd - 3);
        if (kind.rfind("expressions", 0) == 0) kind.erase(10, 1);
        std::string base;
        std::istringstream names(line.substr(2, nameEnd - 2));
        for (std::string name; std::getline(names, name, ',');) {
            name = name.substr(name.find('`') + 1);
            name = name.substr(0, name.find('`'));
            if (name[0] == '.') name = base + name;
            base = name.substr(0, name.rfind('.'));
            rows.insert(type + " " + name + " " + kind);
        }
    }
    return rows;
}

TEST(ParameterDeclarationsTest, DocsListTheDeclaredParameters) {
    const char* source = std::getenv("QUARN_SOURCE_DIR");
    std::ifstream file(std::string(source ? source : ".") + "/docs/effects.md");
    ASSERT_TRUE(file) << "docs/effects.md not found";
    const std::string markdown((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());

    std::set<std::string> documentedTypes;
    const std::set<std::string> documented = documentedParameters(markdown, documentedTypes);
    std::set<std::string> declared;
    std::set<std::string> declaredTypes;
    for (const EffectTypeDeclaration& type : effectTypeDeclarations()) {
        declaredTypes.insert(std::string(type.typeName));
        for (const ParameterDeclaration& parameter : type.parameters)
            declared.insert(std::string(type.typeName) + " " + std::string(parameter.name) + " " +
                            describeUse(parameter));
    }
    EXPECT_EQ(documentedTypes, declaredTypes);
    EXPECT_EQ(documented, declared);
}

}  // namespace
