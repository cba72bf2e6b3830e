// The folder and ROM of the last run, kept in the registry under
// HKEY_CURRENT_USER\Software\Quarvend\QuarvendCfg (values lastFolder and lastRom), not in
// "Quarvend.CFG".
#pragma once

#include <string>

struct RememberedChoice {
    std::string folder;
    std::string rom;
};

// Empty texts for what was never stored or cannot be read.
RememberedChoice rememberedChoice();

// Stores the folder, and the ROM when one is given; failures go unnoticed, as the choice is
// only a convenience.
void rememberChoice(const std::string& folder, const std::string& rom);
