#!/usr/bin/perl
# A SOCKS4 and SOCKS4a proxy on 127.0.0.1 for the tests, on IO::Socket::Socks
# in server mode: one forked child per client relays both ways.
#   socks4a.pl PORT [USERID]   (only USERID is let through when given)
use strict;
use warnings;
use IO::Socket::Socks qw(:constants);
use IO::Socket::INET;
use IO::Select;

my ($port, $userid) = @ARGV;
my %options = (ProxyAddr => '127.0.0.1', ProxyPort => $port, Listen => 10,
               SocksVersion => 4, SocksResolve => 1, ReuseAddr => 1);
$options{UserAuth} = sub { return $_[0] eq $userid ? 1 : 0 } if defined $userid;
my $server = IO::Socket::Socks->new(%options)
  or die "socks4a.pl: $IO::Socket::Socks::SOCKS_ERROR\n";
$SIG{CHLD} = 'IGNORE';
$| = 1;
print STDERR "listening on 127.0.0.1:", $server->sockport, "\n";

while (1) {
  my $client = $server->accept() or next;
  my $pid = fork();
  next if !defined $pid;
  if ($pid) { close $client; next; }
  my $command = $client->command();
  exit 0 unless $command && @$command >= 3;  # refused already (a wrong user id)
  my ($cmd, $host, $dport) = @$command;
  my $target = IO::Socket::INET->new(PeerAddr => $host, PeerPort => $dport, Proto => 'tcp');
  print STDERR "connect $host:$dport ", ($target ? "ok" : "refused"), "\n";
  $client->command_reply($target ? REQUEST_GRANTED : REQUEST_FAILED, '127.0.0.1', $dport);
  exit 0 unless $target;
  my $select = IO::Select->new($client, $target);
  RELAY: while (1) {
    for my $from ($select->can_read()) {
      my $to = $from == $client ? $target : $client;
      my $n = sysread($from, my $buffer, 65536);
      last RELAY unless $n;
      syswrite($to, $buffer);
    }
  }
  exit 0;
}
