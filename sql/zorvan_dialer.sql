create table if not exists settings (
    name varchar not null primary key,
    value varchar
);

create table if not exists number_history (
    phone_number varchar not null primary key,
    contact_nick varchar,
    timestamp varchar
);

create table if not exists call_history (
    timestamp varchar not null primary key,
    phone_number varchar not null,
    type varchar not null,
    duration number
);

create table if not exists last_login (
    name varchar not null primary key
);

insert or ignore into settings (name, value) values ("login.autostart", "true");
insert or ignore into settings (name, value) values ("login.auto", "false");
insert or ignore into settings (name, value) values ("login.remember", "false");
insert or ignore into settings (name, value) values ("login.welcome", "true");
insert or ignore into settings (name, value) values ("ui.minimizetotray", "true");
insert or ignore into settings (name, value) values ("ui.minimizetotray.hint", "true");
insert or ignore into settings (name, value) values ("settings.call.callStartDblClick", "true");
insert or ignore into settings (name, value) values ("settings.call.autoAnswerCalls", "false");
insert or ignore into settings (name, value) values ("settings.update.autoUpdate", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.placeCall", "Enter");
insert or ignore into settings (name, value) values ("settings.hotkeys.cancelCall", "Esc");
insert or ignore into settings (name, value) values ("settings.hotkeys.increaseSpeakerVol", "Ctrl+Right");
insert or ignore into settings (name, value) values ("settings.hotkeys.decreaseSpeakerVol", "Ctrl+Left");
insert or ignore into settings (name, value) values ("settings.hotkeys.increaseMicVol", "Alt+Right");
insert or ignore into settings (name, value) values ("settings.hotkeys.decreaseMicVol", "Alt+Left");
insert or ignore into settings (name, value) values ("settings.hotkeys.showHideGroups", "Ctrl+H");
insert or ignore into settings (name, value) values ("settings.hotkeys.placeCallEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.cancelCallEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.increaseSpeakerVolEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.decreaseSpeakerVolEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.increaseMicVolEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.decreaseMicVolEnabled", "true");
insert or ignore into settings (name, value) values ("settings.hotkeys.showHideGroupsEnabled", "true");
