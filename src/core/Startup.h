#pragma once

// Opens app().databasePath for exclusive use and makes sure the header row holds a system number,
// asking for one when it is missing or blank. False after a failure the user has already been shown.
bool OpenDb();
