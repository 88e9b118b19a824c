#include "CommandLine.h"

#include <cmath>

#include "Failure.h"
#include "Text.h"

CLI::Validator Positive(double most, const char* unit)
{
    return CLI::Validator(
        [most, unit](std::string& text) -> std::string {
            if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
                return Quoted(text) + " is not a number of at most 9 characters";
            const double value = ReadNumber(text.c_str());
            if (!(value > 0 && value <= most))
                return Quoted(text) + " is not above 0 and at most " + Brief(most) + unit;
            return "";
        },
        "");
}

CLI::Validator Between(double low, double high)
{
    return CLI::Validator(
        [low, high](std::string& text) -> std::string {
            double value = 0;
            if (!ReadDecimal(text, value) || !(value >= low && value <= high))
                return Quoted(text) + " is not a number from " + Brief(low) + " to " + Brief(high);
            return "";
        },
        "");
}

CLI::Option* AddDesign(CLI::App& command, bool& sealed, bool& ported)
{
    CLI::Option_group* box = command.add_option_group("design", "one of the file's designs");
    box->add_flag("--sealed", sealed, "the sealed design");
    CLI::Option* flag = box->add_flag("--ported", ported, "the ported design");
    box->require_option(1);
    return flag;
}

CLI::Option* DeclareSystem(CLI::App& command, SystemOptions& system, unsigned parts)
{
    CLI::Option* power = nullptr;
    if (parts & SYSTEM_POWER)
        power = command.add_option("--power", system.power, "the power into Re, W (V2 = P x Re)")
                    ->check(Between(0.001, 100000.0));
    if (parts & SYSTEM_PORTS) {
        command.add_option("--diameter", system.diameter, "port diameter, cm (ported box)")
            ->check(Between(0.1, 1000.0));
        command.add_option("--ports", system.ports, "1 to 4 ports of that diameter (ported box)")
            ->check(CLI::Range(1, 4));
    }
    if (parts & SYSTEM_PANEL)
        command.add_option("--panel", system.panel, "panel thickness, mm (18)")
            ->check(Between(0.1, 200.0));
    return power;
}

double OptionNumber(const std::string& option, const std::string& text)
{
    if (!IsTypedNumber(text) || text.size() > static_cast<std::size_t>(TYPED_NUMBER_CHARS))
        BadCommandLine(option + ": " + Quoted(text) + " is not a number of at most 9 characters");
    const double value = ReadNumber(text.c_str());
    if (!(value > 0) || !std::isfinite(value))
        BadCommandLine(option + ": " + Quoted(text) + " is not greater than 0");
    return value;
}
