{ A sale through TARN from Pascal (Delphi, Free Pascal). On Windows the library is TARN.dll;
  every function is stdcall. Texts are code page 852 PChar. }
program Sale;

{$mode objfpc}

const
  TarnLibrary = 'tarn';

function mfStart(unused1, port: LongInt): LongInt; stdcall; external TarnLibrary;
function mfStop: LongInt; stdcall; external TarnLibrary;
function mfError: LongInt; stdcall; external TarnLibrary;
function mfBeginTicket(total: LongInt): LongInt; stdcall; external TarnLibrary;
function mfLineTicket(unused1: PtrInt; name: PChar; ptu: LongInt; unitText: PChar;
  price, quantity, value: LongInt): LongInt; stdcall; external TarnLibrary;
function mfEndTicket(percentDiscount, valueDiscount, transactionNo, payment1: LongInt;
  name1: PChar; payment2: LongInt; name2: PChar; payment3: LongInt; name3: PChar;
  extraAmount: LongInt; extraName: PChar; adjustValue: LongInt; adjustName, table,
  extraLine: PChar): LongInt; stdcall; external TarnLibrary;
function mfGetLastTicketNo(var number: LongInt): LongInt; stdcall; external TarnLibrary;

function Ok(const what: string; answer: LongInt): Boolean;
begin
  if answer <> 0 then
    WriteLn(StdErr, what, ' failed: ', answer, ' (detail code ', mfError, ')');
  Ok := answer = 0;
end;

var
  number: LongInt;
  done: Boolean;
begin
  if not Ok('mfStart', mfStart(0, 1)) then Halt(1);
  done := Ok('mfBeginTicket', mfBeginTicket(-1))
    and Ok('mfLineTicket', mfLineTicket(0, 'Mleko 3,2%', Ord('B'), 'szt', 349, 2000, 0))
    and Ok('mfEndTicket', mfEndTicket(0, 0, 0, 698, 'Karta', 0, '', 0, '', 0, '', 0, '', '', ''));
  number := 0;
  mfGetLastTicketNo(number);
  mfStop;
  if done then WriteLn('ok: receipt ', number) else WriteLn('failed: receipt ', number);
  if not done then Halt(1);
end.
